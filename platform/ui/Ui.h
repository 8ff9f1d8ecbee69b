#pragma once
#include "platform/error/SlipError.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <optional>

#include <functional>

class QDialog;
class QWidget;

namespace ui {

enum class Icon { Information, Warning, Error };

// Every modal question the program asks the operator goes through this seam, so tests
// can answer it. Dialog owners default to the active window.
class Ui {
public:
    virtual ~Ui() = default;
    virtual void message(const QString& text, Icon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString& text) = 0;
    // A one-line input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(const QString& caption, const QString& prompt,
                                             const QString& defaultText) = 0;
    // File and folder choosers; empty text when cancelled. Filters are written
    // "text|pattern|text|pattern"; a save chooser asks before overwriting.
    virtual QString openFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& path, const QString& filter) = 0;
    virtual QString folderName(const QString& title, const QString& root) = 0;
    // Shows one of the program's own dialogs modally; its result (QDialog::Accepted or not).
    virtual int execDialog(QDialog& dialog) = 0;
};

Ui& current();
// Puts a seam in force (nullptr: the real dialogs again). The caller keeps ownership.
void setCurrent(Ui* u);

// "text|pattern|..." as the toolkit's name filters, and the extension of its first pattern.
QStringList QtNameFilters(const QString& filter);
QString DefaultSuffix(const QString& filter);

// The title that captions the program's message boxes (the application title).
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// Shorthands for the seam in force: a notice, and a refusal or failure (warning icon).
void ShowMessage(const QString& text);
void ShowError(const QString& text);
bool AskYesNo(const QString& text);

// Runs one step of a user action. When the step raises an error of the program, the
// operator gets failureMessage and the result is false; the action then ends.
template <typename Step>
bool RunStep(const QString& failureMessage, Step&& step)
{
    try {
        step();
        return true;
    } catch (const slip::Error&) {
        ShowError(failureMessage);
        return false;
    }
}

// The real dialogs, captioned with the application's title.
class QtUi : public Ui {
public:
    void message(const QString& text, Icon icon) override;
    bool question(const QString& text) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& path, const QString& filter) override;
    QString folderName(const QString& title, const QString& root) override;
    int execDialog(QDialog& dialog) override;
};

// Answers from queues and records every text shown. An unanswered question is No, an
// unanswered input or chooser is cancelled; both are recorded in `unanswered`.
class ScriptedUi : public Ui {
public:
    void message(const QString& text, Icon icon) override;
    bool question(const QString& text) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& defaultText) override;
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& path, const QString& filter) override;
    QString folderName(const QString& title, const QString& root) override;
    // Hands the dialog to the next scripted operator, who fills it in and returns its result;
    // with none left the dialog is cancelled.
    int execDialog(QDialog& dialog) override;
    using DialogScript = std::function<int(QDialog&)>;
    void answerDialog(DialogScript script) { dialogs.push_back(std::move(script)); }

    void answerYes(bool yes) { answers.push_back(yes); }
    void answerText(const std::optional<QString>& text) { texts.push_back(text); }
    void answerFile(const QString& path) { files.push_back(path); }

    std::deque<bool> answers;
    std::deque<std::optional<QString>> texts;
    std::deque<QString> files;
    std::deque<DialogScript> dialogs;
    QStringList dialogTitles; // window titles of the dialogs shown, in order
    QStringList messages;  // message texts, in order
    QList<Icon> icons;     // the icon of each message
    QStringList questions; // question texts, in order
    QStringList prompts;   // input and chooser captions, in order
    QStringList defaults;  // the proposed texts of the input boxes, in order
    QStringList proposed;  // the proposed folder or path of each file chooser, in order
    QStringList filters;   // the filter of each file chooser, in order
    QStringList unanswered;

private:
    QString nextFile(const QString& caption);
};

// Runs a step whose failure the program ignores by design; false when it failed. The
// caller says why the failure may be ignored.
template <typename Step>
bool Quietly(Step&& step)
{
    try {
        step();
        return true;
    } catch (const slip::Error&) {
        return false;
    }
}

// Puts a seam in force for one scope.
class ScopedUi {
public:
    explicit ScopedUi(Ui& u) { setCurrent(&u); }
    ~ScopedUi() { setCurrent(nullptr); }
    ScopedUi(const ScopedUi&) = delete;
    ScopedUi& operator=(const ScopedUi&) = delete;
};

} // namespace ui
