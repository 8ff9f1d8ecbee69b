#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "app/uMain.h"
#include "printing/uPOSPrint.h"
#include "platform/report/ReportUi.h"

#include <QLineEdit>
#include <QRadioButton>

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>

class TestWindowPrinting : public QObject {
    Q_OBJECT
private slots:
    void withoutAMonthNothingPrints()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Button7->click();
        w.Button14->click();
        QCOMPARE(s.ui.messages, (QStringList{"无查询结果！", "没有用于打印的工资数据！"}));
        QVERIFY(s.ui.dialogTitles.isEmpty());
        QVERIFY(!QFile::exists(s.folder.file("tmp.Txt")));
    }

    void buttonsOpenThePreviewAndThePosSlips()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三", {{"GZ1", 856.5}});
        TfrmMainGZT w(s.dm, s.folder.path());
        QString shown;
        s.ui.answerDialog([&](QDialog& d) {
            shown = dynamic_cast<TfrmPosPrint&>(d).Memo1->toPlainText();
            return int(QDialog::Rejected);
        });
        w.Button14->click();
        QVERIFY(shown.contains("\t张三"));
        QVERIFY(QFile::exists(s.folder.file("tmp.Txt")));
        w.Button7->click();
        QCOMPARE(s.ui.dialogTitles, (QStringList{"POS打印机打印", "打印预览窗口"}));
        QVERIFY(s.ui.messages.isEmpty());
    }
};

class TestWindowStrips : public QObject {
    Q_OBJECT
private slots:
    void stripsToAFileAndTheMissingTemplate()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三", {{"GZ1", 856.5}});
        TfrmMainGZT w(s.dm, s.folder.path());
        const QString pdf = s.folder.file("strips.pdf");
        s.ui.answerDialog([&](QDialog& d) -> int {
            auto& out = dynamic_cast<report::TfrmOutputDialog&>(d);
            out.optFile->setChecked(true);
            out.editFileName->setText(pdf);
            out.cmdOK->click();
            return d.result();
        });
        w.Button8->click();
        QVERIFY(QFile::exists(pdf));
        QVERIFY(s.ui.messages.isEmpty());

        QFile::remove(s.folder.file("RPT/GZBill.RAV"));
        w.Button8->click();
        QCOMPARE(s.ui.messages, QStringList{"The following reporting project does not exist:\n\"" + s.folder.file("RPT/GZBill.RAV") + "\""});
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestWindowPrinting, TestWindowStrips>(argc, argv);
}

#include "tst_window_printing.moc"
