#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class TDM;

// The basic parameters: company name, payslip height, day printing, decimals.
class TfrmParaSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmParaSet(TDM& dm, QWidget* parent = nullptr);

    // Loads the stored parameters into the controls (defaults where unreadable).
    void ReadyData();
    // Checks and stores; true when stored (the dialog may close).
    bool SaveData();
    void cmdSHClick();
    // Puts a standard height ("A4", "A5", "B5") into the height box.
    void SetStandardHeight(const QString& paper);
    // The height box's text, as typed.
    QString heightText() const;

    QLineEdit* EditEntName;
    QLineEdit* EditBillHeight;
    QPushButton* Button1;
    QMenu* PopupMenu1;
    QComboBox* cmbPrintDays;
    QComboBox* cmbShowFloat;
    QPushButton* cmdSH;
    QPushButton* cmdCancel;

private:
    void showHeight(double height);

    TDM& m_dm;
};

// Creates the dialog, loads it and shows it modally; true when the operator saved.
bool ShowParaSet(TDM& dm, QWidget* parent);

inline const QString kMinHeightMessage = QStringLiteral("工资条的最小高度为43毫米！");
