#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TDM;

// Writes one payslip workbook per pay row of a month into a chosen folder.
class TfrmEleEleGZBill : public QDialog {
    Q_OBJECT
public:
    TfrmEleEleGZBill(TDM& dm, const QString& month, const QString& templatePath, QWidget* parent = nullptr);

    void Button1Click();
    void Button2Click();
    void Button3Click();

    QLineEdit* EditPath;
    QPushButton* Button1;
    QLabel* lblHint;
    QPushButton* Button2;
    QPushButton* Button3;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    TDM& m_dm;
    QString m_month;
    QString m_template;
    bool m_running = false;
};

// Opens the payslip writer for a month and its template workbook.
void ShowEleGZBill(TDM& dm, const QString& month, const QString& templatePath, QWidget* parent = nullptr);
