#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The password prompt: a hint, a masked box, two buttons that both only close it.
class TfrmPassInput : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassInput(QWidget* parent = nullptr);

    QLabel* lblHint;
    QLineEdit* EditPass;
    QPushButton* cmdEnsure;
    QPushButton* cmdCancel;
};

// Asks for a password; returns what was typed however the prompt was closed.
QString InputPassword(const QString& caption, const QString& hint);

// True when the stored password asks for nothing: empty or the initial "580".
bool IsNoPassword(const QString& password);

// The one password check: asks only when a password is in force (the login password in
// memory); a wrong answer shows "密码错误！" and gives false.
bool CheckLoginPassword(const QString& captionAndHint);

inline const QString kLoginPrompt = QStringLiteral("请输入登陆密码：");
inline const QString kManagePrompt = QStringLiteral("请输入登陆/管理密码：");
inline const QString kWrongPassword = QStringLiteral("密码错误！");
