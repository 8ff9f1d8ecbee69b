#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

// Edits one pay item: its caption and whether it is in use.
class TfrmGZSetEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGZSetEdit(QWidget* parent = nullptr);
    void cmdSHClick();

    QLineEdit* EditName;
    QComboBox* cmbUseStu;
    QPushButton* cmdSH;
    QPushButton* cmdCancel;
};

// Shows the item editor on name and state (0 enabled, 1 disabled); both receive the
// dialog's values. True when the operator saved.
bool EditGZSetItem(QString& name, int& state, QWidget* parent = nullptr);
