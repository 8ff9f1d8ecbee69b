#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "app/About.h"
#include "common/StartValues.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "app/uMain.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Ui.h"
#include "platform/grid/DBGrid.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace {

QStringList templateItems(TDM& dm)
{
    QStringList items;
    dm.GetDataBySQLToItems(QStringLiteral("select GZField1 || ':' || GZName || ':' || GZType || ':' || SortIdx || ':' || ShowStu "
                                          "from TGZSet where GZMonth='BASE' order by GZType, SortIdx"),
                           items, true);
    return items;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void title_data()
    {
        QTest::addColumn<QByteArray>("ini"); // "-" : no IIS.INI at all
        QTest::addColumn<QString>("title");
        QTest::newRow("delivered") << QByteArray("") << "鹪鹩工资条制作打印软件";
        QTest::newRow("no IIS.INI") << QByteArray("-") << "鹪鹩工资条制作打印软件";
        QTest::newRow("empty brand") << QByteArray("[Last]\nBrand=\n") << "工资条制作打印软件";
        QTest::newRow("other brand") << QByteArray("[Last]\nBrand=百灵\n") << "百灵工资条制作打印软件";
    }
    void title()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, title);
        Session s;
        if (ini == "-")
            QFile::remove(s.folder.file(QStringLiteral("IIS.INI")));
        else if (!ini.isEmpty())
            s.folder.writeFile(QStringLiteral("IIS.INI"), ini);
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(ui::ApplicationTitle(), title);
        // The toolkit adds nothing to window titles.
        QVERIFY(QGuiApplication::applicationDisplayName() != title);
        TfrmAbout about;
        QCOMPARE(about.windowTitle(), title);
        QCOMPARE(about.Label1->text(), title);
    }

    void iniDefaults()
    {
        Session s;
        QFile::remove(s.folder.file(QStringLiteral("IIS.INI")));
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(startValues().brand, QStringLiteral("鹪鹩"));
        QVERIFY(!startValues().makerName.isEmpty());
        QVERIFY(startValues().homePage.startsWith(QStringLiteral("http")));
    }

    void structUpdateAddsMissingItemsOnce()
    {
        Session s;
        QVERIFY(s.connected);
        TfrmMainGZT w(s.dm, s.folder.path()); // its creation ran the upgrade once
        const QStringList after = templateItems(s.dm);
        QCOMPARE(after.size(), 30);
        QCOMPARE(after.at(10), QStringLiteral("GZ11:工资项目:0:11:1"));
        QCOMPARE(after.at(19), QStringLiteral("GZ20:工资项目:0:20:1"));
        QCOMPARE(after.at(25), QStringLiteral("KK6:工资项目:1:6:1"));
        QCOMPARE(after.at(29), QStringLiteral("KK10:工资项目:1:10:1"));
        QCOMPARE(after.at(0), QStringLiteral("GZ1:基本工资:0:1:0")); // existing items untouched
        w.StructUpdate();
        QCOMPARE(templateItems(s.dm), after);
    }

    void structUpdateTreatsLowerCaseAsPresent()
    {
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral(
            "insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) values ('BASE','gz15','自定',0,15,0)"));
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select count(*) from TGZSet where GZField1='GZ15'")), QStringLiteral("1"));
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select GZName from TGZSet where GZField1='GZ15'")), QStringLiteral("自定"));
        QCOMPARE(templateItems(s.dm).size(), 30);
    }

    void structUpdateWithoutDatabaseDoesNothing()
    {
        Session s;
        s.dm.ADOLocal.close();
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(w.gridMonth->rowCount(), 0);
        QVERIFY(s.ui.messages.isEmpty());
        QCOMPARE(w.amountFormat(), QStringLiteral("0")); // parameters unreadable: designed format
    }

    void loadRegPara_data()
    {
        QTest::addColumn<QString>("update");
        QTest::addColumn<int>("printDays");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("password");
        QTest::newRow("delivered") << "" << 0 << "0" << "";
        QTest::newRow("decimals") << "update TPara set ShowFloat=1, PrintDays=1" << 1 << "0.00" << "";
        QTest::newRow("nulls") << "update TPara set ShowFloat=NULL, PrintDays=NULL, LogPass=NULL" << 0 << "0" << "";
        QTest::newRow("a password") << "update TPara set LogPass='Abc '" << 0 << "0" << "Abc ";
    }
    void loadRegPara()
    {
        QFETCH(QString, update);
        QFETCH(int, printDays);
        QFETCH(QString, format);
        QFETCH(QString, password);
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set EntName='某某公司'"));
        if (!update.isEmpty())
            s.dm.ADOLocal.execute(update);
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(startValues().printDays, printDays);
        QCOMPARE(w.amountFormat(), format);
        QCOMPARE(startValues().loginPassword, password);
        QCOMPARE(startValues().companyName, QStringLiteral("某某公司"));
        // A change of the stored row takes effect at the next load.
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set ShowFloat=1"));
        w.LoadRegPara();
        QCOMPARE(w.amountFormat(), QStringLiteral("0.00"));
    }

    void firstRunShowsHelpOnce()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.FormActivate();
        QCOMPARE(s.ui.messages, QStringList{kFirstRunMessage});
        QCOMPARE(s.shell.opened, QStringList{s.folder.file(QStringLiteral("Help/WrenGZ.htm"))});
        QVERIFY(QFile::exists(s.folder.file(QStringLiteral("NotFirst.txt"))));
        w.FormActivate(); // later activations do nothing
        QCOMPARE(s.ui.messages.size(), 1);

        TfrmMainGZT again(s.dm, s.folder.path());
        again.FormActivate();
        QCOMPARE(s.ui.messages.size(), 1); // the marker is there

        QFile::remove(s.folder.file(QStringLiteral("NotFirst.txt")));
        TfrmMainGZT third(s.dm, s.folder.path());
        third.FormActivate();
        QCOMPARE(s.ui.messages.size(), 2);
    }

    void markerFailureIsReported()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.file(QStringLiteral("no/such/folder/")));
        w.FormActivate();
        QCOMPARE(s.ui.messages.size(), 2);
        QCOMPARE(s.ui.messages.at(0), kFirstRunMessage);
        QVERIFY(s.ui.messages.at(1).contains(QStringLiteral("NotFirst.txt")));
    }

    void toolBarAndMenus()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        const QList<QToolButton*> row{w.ToolButton15, w.ToolButton21, w.ToolButton1, w.ToolButton8, w.ToolButton5,
                                      w.ToolButton7, w.TBDatabase, w.ToolButton11, w.TBHelp, w.ToolButton2};
        QStringList captions;
        for (QToolButton* b : row)
            captions << b->text();
        QCOMPARE(captions, (QStringList{"工资编辑与打印", "工资项目参数设置", "基本参数", "设置登陆密码", "发送Excel",
                                        "从Excel导入", "数据库维护", "在线升级", "帮助", "关闭"}));
        QStringList maintenance, help;
        for (QAction* a : w.PopupMenu2->actions())
            maintenance << (a->isSeparator() ? QStringLiteral("-") : a->text());
        for (QAction* a : w.PopupMenu1->actions())
            help << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(maintenance, (QStringList{"数据库备份", "数据库还原", "-", "数据清除"}));
        QCOMPARE(help, (QStringList{"动画教程", "-", "关于.."}));
        QCOMPARE(w.GroupBoxMonth->title(), QStringLiteral("工资发放月度"));
        QCOMPARE(w.GroupBoxMonth->width(), 175);
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[XXXX]工资发放明细表"));
        QStringList buttons;
        for (QPushButton* b : {w.Button4, w.Button5, w.Button6, w.Button7, w.Button8, w.Button14, w.Button9, w.Button10,
                               w.Button13})
            buttons << b->text();
        QCOMPARE(buttons, (QStringList{"增加明细", "修改明细", "删除明细", "打印明细表", "打印工资条", "POS工资条",
                                       "月度数据复制", "职员数据复制", "生成电子工资条"}));
        QCOMPARE(w.Excel1->text(), QStringLiteral("发送到&Excel"));
        QCOMPARE(w.gridMonth->column(0).title, QStringLiteral("编号"));
        QCOMPARE(w.gridMonth->column(1).title, QStringLiteral("发放月度"));
    }

    void updaterAndHelpGoThroughTheShell()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.ToolButton11->click();
        QCOMPARE(s.shell.started.size(), size_t(1));
        QCOMPARE(s.shell.started[0].first, s.folder.file(QStringLiteral("SlipRenew")));
        QCOMPARE(s.shell.started[0].second, QString());
        w.N13->trigger();
        QCOMPARE(s.shell.opened, QStringList{s.folder.file(QStringLiteral("Help/WrenGZ.htm"))});
    }

    void missingProgramsAreTold()
    {
        Session s;
        s.shell.fails = true; // a desktop without browser or updater
        TfrmMainGZT w(s.dm, s.folder.path());
        w.N13->trigger();
        w.ToolButton11->click();
        QCOMPARE(s.ui.messages, (QStringList{CannotOpenMessage(s.folder.file(QStringLiteral("Help/WrenGZ.htm"))),
                                             CannotOpenMessage(s.folder.file(QStringLiteral("SlipRenew")))}));
        QCOMPARE(s.ui.icons, (QList<ui::Icon>{ui::Icon::Warning, ui::Icon::Warning}));
    }

    void aboutBox()
    {
        Session s;
        startValues().brand = QStringLiteral("鹪鹩");
        startValues().makerName = QStringLiteral("某工作室");
        startValues().homePage = QStringLiteral("https://example.org/");
        TfrmAbout about;
        QCOMPARE(about.Label2->text(), QStringLiteral("版本：1.3"));
        QCOMPARE(about.Label3->text(), kRightsPrefix + QStringLiteral("某工作室"));
        QCOMPARE(about.Label4->text(), QStringLiteral("网址："));
        QCOMPARE(about.Label5->text(), QStringLiteral("https://example.org/"));
        QCOMPARE(about.Button1->text(), QStringLiteral("确认(&E)"));
        QVERIFY(about.Button1->isDefault());
        QTest::mouseClick(about.Label5, Qt::LeftButton);
        QTest::mouseClick(about.Image1, Qt::LeftButton);
        QCOMPARE(s.shell.opened, (QStringList{"https://example.org/", "https://example.org/"}));
        about.show();
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
    }

    void monthListNewestFirst()
    {
        Session s;
        for (const char* m : {"202610", "202611", "202612"})
            s.dm.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values (?)"), {QString::fromLatin1(m)});
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(w.gridMonth->rowCount(), 3);
        QCOMPARE(w.gridMonth->cellText(0, 1), QStringLiteral("202612"));
        QCOMPARE(w.gridMonth->cellText(2, 1), QStringLiteral("202610"));
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[202612]工资发放明细表"));
    }
};

SLIP_TEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
