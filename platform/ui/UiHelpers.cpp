#include "platform/ui/UiHelpers.h"
#include "platform/ui/Ui.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace ui {

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
