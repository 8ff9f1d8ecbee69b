#include "tests/support/ScriptedDialogs.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "app/uMain.h"
#include "common/StartValues.h"
#include "entry/uGZDetailEdit.h"
#include "payitems/GZSet.h"
#include "payitems/uGZBaseSet.h"
#include "platform/grid/DBGrid.h"
#include "settings/uParaSet.h"
#include "settings/uPassInput.h"
#include "settings/uPassSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

// The main window opening the dialogs of the features and acting on their outcome.

namespace {

const QString kItems = QStringLiteral("select GZField1 || ':' || GZName || ':' || GZType || ':' || SortIdx || ':' || ShowStu "
                                      "from TGZSet where GZMonth=? order by ID");

} // namespace

class TestWindowEntry : public QObject {
    Q_OBJECT
private slots:
    void mainWindowOpensTheDialog()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Button4->click();
        w.Button5->click();
        QCOMPARE(s.ui.messages, (QStringList{"请首先增加月度！", "请首先增加月度！"}));
        s.addMonth(QStringLiteral("202612"));
        w.ReadyMonth();
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZDetailEdit&>(d);
            dlg.cmbDepart->setCurrentText(QStringLiteral("财务部"));
            dlg.cmbEmpName->setCurrentText(QStringLiteral("张三"));
            dlg.gzSlots[0].box->setText(QStringLiteral("3000"));
            dlg.cmdSH->click();
            return d.result();
        });
        w.Button5->click(); // on an empty sheet: a new row
        QCOMPARE(w.dsGZDetail.recordCount(), 1); // the sheet reloaded
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZDetailEdit&>(d);
            return int(dlg.cmbEmpName->currentText() == QStringLiteral("张三") ? QDialog::Rejected : QDialog::Accepted);
        });
        emit w.gridDetail->enterPressed();
        QCOMPARE(s.ui.dialogTitles.size(), 2);
        QVERIFY(s.ui.dialogs.empty());
    }
};

class TestWindowItemSets : public QObject {
    Q_OBJECT
private slots:
    void copyItemSet_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expectedLike"); // the set the target ends up with
        QTest::newRow("template onto a new month") << "202612" << "BASE" << "BASE";
        QTest::newRow("onto a month with items") << "202611" << "BASE" << "BASE";
        QTest::newRow("source without items copies BASE") << "202612" << "nothing" << "BASE";
        QTest::newRow("a month onto another") << "202612" << "202611" << "202611";
        QTest::newRow("a month onto itself") << "202611" << "202611" << "202611";
    }
    void copyItemSet()
    {
        QFETCH(QString, target);
        QFETCH(QString, source);
        QFETCH(QString, expectedLike);
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path()); // completes BASE
        s.addMonth(QStringLiteral("202611"));
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set GZName='十一月'||GZName, ShowStu=1-ShowStu "
                                             "where GZMonth='202611'"));
        const QStringList expected = s.column(kItems, {expectedLike});
        QVERIFY(w.AddBaseGZSet(target, source));
        QCOMPARE(s.column(kItems, {target}), expected);
        QCOMPARE(expected.size(), 30);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='BASE'")), QStringList{"30"});
    }

    void failedCopyLeavesTheOldSet()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        s.addMonth(QStringLiteral("202611"));
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set GZName='旧'||GZName where GZMonth='202611'"));
        const QStringList before = s.dump(QStringLiteral("TGZSet"));
        failWritesOf(s.dm, QStringLiteral("202611"));
        QVERIFY(!w.AddBaseGZSet(QStringLiteral("202611"), QStringLiteral("BASE")));
        QCOMPARE(s.ui.messages, QStringList{kCopyItemSetFailed});
        QCOMPARE(s.dump(QStringLiteral("TGZSet")), before);
        QCOMPARE(s.column(kItems, {QStringLiteral("202611")}).size(), 30);
    }

    void toolButtonEditsBaseWithoutMonths()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        answerItem(s.ui, QStringLiteral("底薪"), 0);
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZBaseSet&>(d);
            dlg.cmdEditGZ->click(); // the scripted item editor answers
            dlg.cmdSH->click();
            return d.result();
        });
        // The item dialog comes first, the item editor inside it: queue them in that order.
        std::swap(s.ui.dialogs.front(), s.ui.dialogs.back());
        w.ToolButton21->click();
        QCOMPARE(s.ui.dialogTitles, (QStringList{"基本工资项目设置", "修改工资设置"}));
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select GZName from TGZSet where GZMonth='BASE' and GZField1='GZ1'")),
                 QStringLiteral("底薪"));
        const int gz1 = w.gridDetail->columnOfField(QStringLiteral("GZ1"));
        QCOMPARE(w.gridDetail->column(gz1).title, QStringLiteral("应发工资|底薪"));
        // A month added afterwards gets the template as it is now.
        s.ui.answerText(QStringLiteral("202612"));
        w.Button1->click();
        QCOMPARE(s.dm.GetDataBySQL(QStringLiteral("select GZName from TGZSet where GZMonth='202612' and GZField1='GZ1'")),
                 QStringLiteral("底薪"));
    }
};

class TestWindowPasswords : public QObject {
    Q_OBJECT
private slots:
    void loginRule_data()
    {
        QTest::addColumn<QVariant>("stored"); // null QVariant: LogPass is null
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("starts");
        QTest::newRow("initial password") << QVariant(QStringLiteral("580")) << "" << false << false << true;
        QTest::newRow("empty") << QVariant(QString()) << "" << false << false << true;
        QTest::newRow("null") << QVariant() << "" << false << false << true;
        QTest::newRow("right answer") << QVariant(QStringLiteral("Abc9")) << "Abc9" << false << true << true;
        QTest::newRow("small letters") << QVariant(QStringLiteral("Abc9")) << "abc9" << false << true << false;
        QTest::newRow("trailing blank") << QVariant(QStringLiteral("Abc9")) << "Abc9 " << false << true << false;
        QTest::newRow("close box after the right text") << QVariant(QStringLiteral("Abc9")) << "Abc9" << true << true << true;
        QTest::newRow("close box, nothing typed") << QVariant(QStringLiteral("Abc9")) << "" << true << true << false;
        QTest::newRow("blank password is one") << QVariant(QStringLiteral(" ")) << " " << false << true << true;
    }
    void loginRule()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, typed);
        QFETCH(bool, closeBox);
        QFETCH(bool, asked);
        QFETCH(bool, starts);
        Session s;
        s.folder.writeFile(QStringLiteral("NotFirst.txt"), "x");
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set LogPass=?"), {stored});
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 3000}});
        TfrmMainGZT w(s.dm, s.folder.path());
        QVERIFY(w.dsGZDetail.isOpen());
        bool sheetHidden = false;
        answerPrompt(s.ui, typed, !closeBox, &sheetHidden, &w.dsGZDetail);
        w.FormActivate();
        QCOMPARE(s.ui.dialogTitles.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(s.ui.dialogTitles.at(0), kLoginPrompt);
            QVERIFY(sheetHidden); // no pay data behind the prompt
        }
        QCOMPARE(w.endRequested(), !starts);
        QCOMPARE(s.dm.ADOLocal.isConnected(), starts);
        QCOMPARE(s.ui.messages, starts ? QStringList() : QStringList{kWrongPassword});
        QCOMPARE(w.dsGZDetail.isOpen(), starts);
        if (starts)
            QCOMPARE(w.dsGZDetail.recordCount(), 1);
        // Only the first activation asks.
        w.FormActivate();
        QCOMPARE(s.ui.dialogTitles.size(), asked ? 1 : 0);
    }

    void newPasswordIsInForceAtOnce()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmPassSet&>(d);
            dlg.EditOld->setText(QStringLiteral("580"));
            dlg.EditNew->setText(QStringLiteral("Pw"));
            dlg.EditNewEnsure->setText(QStringLiteral("Pw"));
            dlg.Button1->click();
            return d.result();
        });
        w.ToolButton8->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("修改密码成功！")});
        // The basic parameters dialog, opened and cancelled, reloads the stored row.
        w.ToolButton1->click();
        QCOMPARE(s.ui.dialogTitles.last(), QStringLiteral("基本参数设置"));
        answerPrompt(s.ui, QStringLiteral("580"));
        QVERIFY(!CheckLoginPassword(kManagePrompt));
        answerPrompt(s.ui, QStringLiteral("Pw"));
        QVERIFY(CheckLoginPassword(kManagePrompt));
        QCOMPARE(s.ui.dialogTitles.last(), kManagePrompt);
    }

    void decimalsShowAtOnce()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"),
                 {{"GZ1", 2.675}, {"YFTotal", 2.675}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("李四"), {{"GZ1", 1}});
        TfrmMainGZT w(s.dm, s.folder.path());
        const int gz1 = w.gridDetail->columnOfField(QStringLiteral("GZ1"));
        const int days = w.gridDetail->columnOfField(QStringLiteral("WorkDays"));
        const int zhang = 1; // after 李四 (li) in pinyin order
        QCOMPARE(w.gridDetail->cellText(zhang, gz1), QStringLiteral("3"));
        QCOMPARE(w.gridDetail->footerText(gz1), QStringLiteral("4"));
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmParaSet&>(d);
            dlg.cmbShowFloat->setCurrentIndex(1);
            dlg.cmdSH->click();
            return d.result();
        });
        w.ToolButton1->click();
        QCOMPARE(w.amountFormat(), QStringLiteral("0.00"));
        QCOMPARE(w.gridDetail->cellText(zhang, gz1), QStringLiteral("2.68"));
        QCOMPARE(w.gridDetail->footerText(gz1), QStringLiteral("3.68"));
        QCOMPARE(w.gridDetail->column(days).displayFormat, QStringLiteral("0.00")); // its own
        // Cancelled: the stored row is loaded again all the same.
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set ShowFloat=0"));
        w.ToolButton1->click();
        QCOMPARE(w.gridDetail->cellText(zhang, gz1), QStringLiteral("3"));
    }
};

SLIP_TEST_MAIN(TestWindowEntry, TestWindowItemSets, TestWindowPasswords)

#include "tst_window_dialogs.moc"
