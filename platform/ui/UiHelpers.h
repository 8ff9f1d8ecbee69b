#pragma once
#include <QString>
#include <Qt>

#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace ui {

// Asks for a folder below root (empty root: anywhere). True and the folder's full path
// when confirmed; false and empty text when cancelled.
bool SelectFolder(QWidget* owner, const QString& title, const QString& root, QString& folder);

// Enter moves the focus to the next control in tab order, as Tab does; in a multi-line
// box only Ctrl+Enter does. The key itself is left to the control (never consumed).
void EnterToNextControl(QWidget* control, int key, Qt::KeyboardModifiers shift);

// The row of a dialog's closing buttons, pushed to the right.
QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

} // namespace ui
