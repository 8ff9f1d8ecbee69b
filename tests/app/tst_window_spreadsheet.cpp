#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "app/uMain.h"
#include "platform/grid/DBGrid.h"
#include "spreadsheet/uEleGZBill.h"

#include <QFile>
#include <QPushButton>
#include <QToolButton>

class TestWindowSpreadsheet : public QObject {
    Q_OBJECT
private slots:
    void withoutAMonth()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Button13->click();
        w.ToolButton7->click();
        w.ToolButton5->click(); // the sheet is not open
        QCOMPARE(s.ui.messages, (QStringList{"请首先建立/选择工资发放月度！", "请首先建立/选择工资发放月度！",
                                             "查询过程没有执行，没有数据库可以发送！"}));
        QVERIFY(s.ui.dialogTitles.isEmpty());
    }

    void payslipsUseTheChosenTemplate()
    {
        Session s;
        s.addMonth("202612");
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Button13->click(); // opened and cancelled
        QCOMPARE(s.ui.dialogTitles.size(), 1);
        QVERIFY(s.ui.dialogTitles[0].startsWith("生成电子工资条"));
    }

    void exportOpensTheWorkbookAndEnablesTheGridAgain()
    {
        Session s;
        s.addMonth("202612");
        s.addRow("202612", "财务部", "张三", {{"GZ1", 100}});
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Excel1->trigger();
        QCOMPARE(s.shell.started.size(), size_t(1));
        const QString file = s.shell.started[0].first;
        QVERIFY(file.endsWith(".xls"));
        QFile::remove(file);
        QVERIFY(w.gridDetail->isEnabled());
        s.shell.fails = true; // no spreadsheet program
        w.ToolButton5->click();
        QCOMPARE(s.ui.messages, QStringList{"系统不能连接到Excel,请确认Excel是否安装！"});
        QVERIFY(w.gridDetail->isEnabled());
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestWindowSpreadsheet>(argc, argv);
}

#include "tst_window_spreadsheet.moc"
