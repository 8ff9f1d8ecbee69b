#include "platform/ui/Ui.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {

Ui* g_override = nullptr;

QString& titleText()
{
    static QString t;
    return t;
}

QString title()
{
    return titleText();
}

} // namespace

Ui& current()
{
    static QtUi real;
    return g_override ? *g_override : real;
}

void setCurrent(Ui* u)
{
    g_override = u;
}

void SetApplicationTitle(const QString& t) { titleText() = t; }
QString ApplicationTitle() { return titleText(); }

void ShowMessage(const QString& text) { current().message(text, Icon::Information); }
void ShowError(const QString& text) { current().message(text, Icon::Warning); }
bool AskYesNo(const QString& text) { return current().question(text); }

void QtUi::message(const QString& text, Icon icon)
{
    const auto kind = icon == Icon::Error     ? QMessageBox::Critical
                      : icon == Icon::Warning ? QMessageBox::Warning
                                              : QMessageBox::Information;
    QMessageBox box(kind, title(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool QtUi::question(const QString& text)
{
    // Confirmations are warnings: they come before deleting, clearing or copying.
    QMessageBox box(QMessageBox::Warning, title(), text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUi::inputText(const QString& caption, const QString& prompt, const QString& defaultText)
{
    QInputDialog dlg(QApplication::activeWindow());
    dlg.setWindowTitle(caption);
    dlg.setLabelText(prompt);
    dlg.setTextValue(defaultText);
    dlg.setOkButtonText(QStringLiteral("确定"));
    dlg.setCancelButtonText(QStringLiteral("取消"));
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.textValue();
}

namespace {

// A chooser of the system's kind: filters as "text|pattern|text|pattern", the first
// pattern's extension added to a name typed without one.
QString chooseFile(QFileDialog::AcceptMode mode, const QString& caption, const QString& path, const QString& filter)
{
    QFileDialog dlg(QApplication::activeWindow(), caption);
    dlg.setAcceptMode(mode);
    dlg.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dlg.setOption(QFileDialog::ReadOnly, false);
    dlg.setNameFilters(QtNameFilters(filter));
    const QFileInfo start(path);
    if (start.isDir() || path.endsWith(QLatin1Char('/'))) {
        dlg.setDirectory(path);
    } else if (!path.isEmpty()) {
        dlg.setDirectory(start.absolutePath());
        dlg.selectFile(start.fileName());
    }
    const QString suffix = DefaultSuffix(filter);
    if (!suffix.isEmpty())
        dlg.setDefaultSuffix(suffix);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

} // namespace

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        out << (parts[i].contains(QLatin1Char('(')) ? parts[i] : parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    if (out.isEmpty() && !filter.isEmpty())
        out << filter;
    return out;
}

QString DefaultSuffix(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return QString();
    const QString first = parts[1].section(QLatin1Char(';'), 0, 0).trimmed();
    return first.startsWith(QLatin1String("*.")) && !first.mid(2).contains(QLatin1Char('*')) ? first.mid(2) : QString();
}

QString QtUi::openFileName(const QString& caption, const QString& folder, const QString& filter)
{
    return chooseFile(QFileDialog::AcceptOpen, caption, folder, filter);
}

QString QtUi::saveFileName(const QString& caption, const QString& path, const QString& filter)
{
    // The dialog asks before a file is overwritten.
    return chooseFile(QFileDialog::AcceptSave, caption, path, filter);
}

QString QtUi::folderName(const QString& title, const QString& root)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, root);
}

int QtUi::execDialog(QDialog& dialog)
{
    return dialog.exec();
}

int ScriptedUi::execDialog(QDialog& dialog)
{
    dialogTitles << dialog.windowTitle();
    if (dialogs.empty()) {
        unanswered << dialog.windowTitle();
        return QDialog::Rejected;
    }
    DialogScript script = std::move(dialogs.front());
    dialogs.pop_front();
    return script(dialog);
}

void ScriptedUi::message(const QString& text, Icon icon)
{
    messages << text;
    icons << icon;
}

bool ScriptedUi::question(const QString& text)
{
    questions << text;
    if (answers.empty()) {
        unanswered << text;
        return false;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

std::optional<QString> ScriptedUi::inputText(const QString& caption, const QString& prompt, const QString& defaultText)
{
    prompts << caption;
    defaults << defaultText;
    if (texts.empty()) {
        unanswered << prompt;
        return std::nullopt;
    }
    const bool given = texts.front().has_value();
    const QString text = texts.front().value_or(QString());
    texts.pop_front();
    if (!given)
        return std::nullopt;
    return text;
}

QString ScriptedUi::nextFile(const QString& caption)
{
    prompts << caption;
    if (files.empty()) {
        unanswered << caption;
        return QString();
    }
    const QString f = files.front();
    files.pop_front();
    return f;
}

QString ScriptedUi::openFileName(const QString& caption, const QString& folder, const QString& filter)
{
    proposed << folder;
    filters << filter;
    return nextFile(caption);
}

QString ScriptedUi::saveFileName(const QString& caption, const QString& path, const QString& filter)
{
    proposed << path;
    filters << filter;
    return nextFile(caption);
}
QString ScriptedUi::folderName(const QString& title, const QString&) { return nextFile(title); }

} // namespace ui
