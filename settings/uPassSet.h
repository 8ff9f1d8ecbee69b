#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TDM;

// Changes the login password; knowing the old one is its guard.
class TfrmPassSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPassSet(TDM& dm, QWidget* parent = nullptr);

    // True when the dialog may close: the new password was stored, or storing failed
    // (after its message). False keeps it open for another try.
    bool CheckPass();
    void Button1Click();

    QLineEdit* EditOld;
    QLineEdit* EditNew;
    QLineEdit* EditNewEnsure;
    QLabel* Label4;
    QLabel* Memo1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    TDM& m_dm;
};

// Creates the password dialog, shows it modally and frees it.
void ShowPassSet(TDM& dm, QWidget* parent);
