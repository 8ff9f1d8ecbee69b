#pragma once
#include <QString>
#include <Qt>

#include <initializer_list>

class QHBoxLayout;
class QLineEdit;
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

// A value box: typing keeps to digits, one point and at most `decimals` places after it
// (none when 0), and at most intDigits places before it unless the box already holds
// more. Signs cannot be typed. Pasted text and texts the program sets are not limited:
// the box shows any value whole, and the reader of the box checks it is a number.
void LimitToNumber(QLineEdit* box, int intDigits, int decimals);
// The decimals a value box takes when typing; -1 for a box without the limit.
int NumberBoxDecimals(const QLineEdit* box);

// Typing and pasting that would make the text longer than maxLength, as measured (GBK
// bytes for the program's text columns), are refused. A longer text the program sets
// shows whole; the reader checks its length.
void LimitLength(QLineEdit* box, int maxLength, int (*measure)(const QString&));

} // namespace ui
