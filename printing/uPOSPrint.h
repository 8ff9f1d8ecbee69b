#pragma once
#include <QDialog>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

// Shows the receipt payslips of tmp.Txt and prints them on the default printer.
class TfrmPosPrint : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPosPrint(const QString& programFolder, QWidget* parent = nullptr);

    // Loads tmp.Txt when it is there.
    void FormCreate();
    // Prints on the default printer; false after telling the operator there is none.
    bool Button4Click();
    // Prints the text on a printer already chosen.
    void PrintTo(QPrinter& printer) const;

    QPlainTextEdit* Memo1;
    QPushButton* Button4;
    QPushButton* Button5;

private:
    QString m_programFolder;
};

// Opens the receipt payslip window.
void ShowPosPrint(const QString& programFolder, QWidget* parent = nullptr);
