#include "platform/ui/UiHelpers.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QValidator>
#include <QHBoxLayout>
#include <QPushButton>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace ui {

namespace {

const char* const kDecimalsProperty = "slipNumberDecimals";
const char* const kNumberKeysName = "slipNumberKeys";

class NumberKeys : public QObject {
public:
    NumberKeys(QLineEdit* box, int intDigits, int decimals)
        : QObject(box), m_box(box), m_intDigits(intDigits), m_decimals(decimals)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_box || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->text().isEmpty() || key->text().at(0).unicode() < 32
            || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            return false; // Backspace, Enter, Ctrl+V and the like pass
        return !accepts(key->text().at(0));
    }

private:
    static int integerDigits(const QString& t)
    {
        int n = 0;
        for (const QChar c : t) {
            if (c == QLatin1Char('.'))
                break;
            n += c.isDigit() ? 1 : 0;
        }
        return n;
    }

    bool accepts(QChar c) const
    {
        const bool point = c == QLatin1Char('.');
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && !(point && m_decimals > 0))
            return false;
        const QString before = m_box->text();
        const int from = m_box->hasSelectedText() ? m_box->selectionStart() : m_box->cursorPosition();
        const int cut = m_box->hasSelectedText() ? int(m_box->selectedText().size()) : 0;
        const QString after = before.left(from) + c + before.mid(from + cut);
        static const QRegularExpression shape(QStringLiteral("^-?[0-9]*(\\.[0-9]*)?$"));
        if (!shape.match(after).hasMatch())
            return false;
        const qsizetype dot = after.indexOf(QLatin1Char('.'));
        if (dot >= 0 && after.size() - dot - 1 > m_decimals)
            return false;
        return integerDigits(after) <= std::max(m_intDigits, integerDigits(before));
    }

    QLineEdit* m_box;
    int m_intDigits;
    int m_decimals;
};

class LengthValidator : public QValidator {
public:
    LengthValidator(int maxLength, int (*measure)(const QString&), QObject* parent)
        : QValidator(parent), m_max(maxLength), m_measure(measure)
    {
    }

    // Typing or pasting that would make the text too long is undone by the box; a text
    // the program sets is kept whole (the box then reads as not acceptable).
    State validate(QString& input, int&) const override
    {
        return m_measure(input) > m_max ? Invalid : Acceptable;
    }

private:
    int m_max;
    int (*m_measure)(const QString&);
};

} // namespace

void LimitToNumber(QLineEdit* box, int intDigits, int decimals)
{
    // A box set up again (new decimals) loses its earlier filter.
    const QString name = QString::fromLatin1(kNumberKeysName);
    delete box->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    box->setInputMask(QString());
    auto* keys = new NumberKeys(box, intDigits, decimals);
    keys->setObjectName(name);
    box->installEventFilter(keys);
    box->setProperty(kDecimalsProperty, decimals);
}

int NumberBoxDecimals(const QLineEdit* box)
{
    const QVariant v = box->property(kDecimalsProperty);
    return v.isValid() ? v.toInt() : -1;
}

void LimitLength(QLineEdit* box, int maxLength, int (*measure)(const QString&))
{
    box->setValidator(new LengthValidator(maxLength, measure, box));
}

QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

bool SelectFolder(QWidget*, const QString& title, const QString& root, QString& folder)
{
    // The chooser's owner is the active window, which is the owner here.
    const QString chosen = current().folderName(title, root.isEmpty() ? QDir::homePath() : root);
    folder = chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen).left(260);
    return !chosen.isEmpty();
}

void EnterToNextControl(QWidget* control, int key, Qt::KeyboardModifiers shift)
{
    if (!control || (key != Qt::Key_Return && key != Qt::Key_Enter))
        return;
    const bool multiLine = qobject_cast<QTextEdit*>(control) || qobject_cast<QPlainTextEdit*>(control);
    if (multiLine && !(shift & Qt::ControlModifier))
        return;
    // As Tab does: the next widget in the chain that takes focus, through focus proxies
    // (an editable combo box hands its focus to its line edit).
    QWidget* window = control->window();
    QWidget* next = nullptr;
    for (QWidget* w = control->nextInFocusChain(); w && w != control; w = w->nextInFocusChain()) {
        QWidget* target = w;
        while (target->focusProxy())
            target = target->focusProxy();
        if (target == control || !target->isEnabled() || !target->isVisibleTo(window)
            || !(target->focusPolicy() & Qt::TabFocus))
            continue;
        next = target;
        break;
    }
    if (!next)
        return;
    // Posted, so the focus moves after the key has been handled.
    QMetaObject::invokeMethod(next, [next] { next->setFocus(Qt::TabFocusReason); }, Qt::QueuedConnection);
}

} // namespace ui
