#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

// Asks for the working days of the month and the days worked, for the partial month.
class TfrmBMYCalcEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBMYCalcEdit(QWidget* parent = nullptr);
    // The three checks; true when the dialog may close.
    bool CheckData();
    void cmdEnsureClick();
    double daysDue() const;
    double daysWorked() const;

    QLineEdit* EditTotalDay;
    QLineEdit* EditTrueDay;
    QPushButton* cmdEnsure;
    QPushButton* cmdCancel;
};

// Shows the dialog with days worked; gives back both numbers. True when confirmed.
bool ShowBMYCalcEdit(double& daysWorked, double& daysDue, QWidget* parent = nullptr);

// A masked box's text as typed, unfilled places as blanks.
