#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "payitems/GZSet.h"
#include "payitems/uGZBaseSet.h"
#include "payitems/uGZSetEdit.h"
#include "app/uMain.h"
#include "platform/grid/DBGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {

const QString kItems = QStringLiteral("select GZField1 || ':' || GZName || ':' || GZType || ':' || SortIdx || ':' || ShowStu "
                                      "from TGZSet where GZMonth=? order by ID");

// Scripts the next item editor: a new caption and state, then save or cancel.
void answerItem(ui::ScriptedUi& ui, const QString& name, int state, bool save = true)
{
    ui.answerDialog([=](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmGZSetEdit&>(d);
        dlg.EditName->setText(name);
        dlg.cmbUseStu->setCurrentIndex(state);
        (save ? dlg.cmdSH : dlg.cmdCancel)->click();
        return d.result();
    });
}

void failWritesOf(TDM& dm, const QString& month)
{
    dm.ADOLocal.execute(QStringLiteral("create trigger failing before insert on TGZSet when NEW.GZMonth='%1' "
                                       "begin select raise(abort, 'disk full'); end")
                            .arg(month));
}

} // namespace

class TestItemSets : public QObject {
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

    void dialogFallsBackToBase_data()
    {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("shown");
        QTest::newRow("own items") << "" << "202612";
        QTest::newRow("no items at all") << "delete from TGZSet where GZMonth='202612'" << "BASE";
        QTest::newRow("no earnings items") << "delete from TGZSet where GZMonth='202612' and GZType=0" << "BASE";
        QTest::newRow("no deduction items: no fallback")
            << "delete from TGZSet where GZMonth='202612' and GZType=1" << "202612";
    }
    void dialogFallsBackToBase()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, shown);
        Session s;
        s.addMonth(QStringLiteral("202612"));
        if (!prepare.isEmpty())
            s.dm.ADOLocal.execute(prepare);
        TfrmGZBaseSet dlg(s.dm);
        QVERIFY(dlg.ReadyData(QStringLiteral("202612")));
        QCOMPARE(dlg.EditGZMonth->text(), shown);
        const int earnings = s.column(QStringLiteral("select count(*) from TGZSet where GZType=0 and GZMonth=?"), {shown})
                                 .first().toInt();
        const int deductions = s.column(QStringLiteral("select count(*) from TGZSet where GZType=1 and GZMonth=?"), {shown})
                                   .first().toInt();
        QCOMPARE(dlg.gridGZ->model()->rowCount(), earnings);
        QCOMPARE(dlg.gridKK->model()->rowCount(), deductions);
    }

    void dialogLists()
    {
        Session s;
        TfrmGZBaseSet dlg(s.dm);
        QVERIFY(dlg.ReadyData(QStringLiteral("BASE")));
        QAbstractItemModel* m = dlg.gridGZ->model();
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("序号"));
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("工资项目名称"));
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("是否启用"));
        QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("基本工资"));
        QCOMPARE(m->index(0, 2).data().toString(), QStringLiteral("启用"));
        QCOMPARE(m->index(5, 2).data().toString(), QStringLiteral("禁用"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("基本工资项目设置"));
    }

    void editAndSave()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));
        s.addMonth(QStringLiteral("202612"));
        const QStringList base = s.column(kItems, {QStringLiteral("BASE")});
        const QStringList other = s.column(kItems, {QStringLiteral("202611")});
        TfrmGZBaseSet dlg(s.dm);
        QVERIFY(dlg.ReadyData(QStringLiteral("202612")));
        dlg.gridGZ->setCurrentIndex(dlg.gridGZ->model()->index(1, 0));
        answerItem(s.ui, QStringLiteral("岗位津贴 'A'"), 1);
        dlg.cmdEditGZ->click();
        dlg.gridKK->setCurrentIndex(dlg.gridKK->model()->index(4, 0));
        answerItem(s.ui, QStringLiteral("个税"), 0);
        emit dlg.gridKK->doubleClicked(dlg.gridKK->model()->index(4, 1));
        answerItem(s.ui, QStringLiteral("不要"), 1, false); // cancelled edit changes nothing
        dlg.cmdEditKK->click();
        QCOMPARE(dlg.gridGZ->model()->index(1, 1).data().toString(), QStringLiteral("岗位津贴 'A'"));
        // Nothing reaches the database before saving.
        QCOMPARE(s.column(kItems, {QStringLiteral("202612")}), base);
        dlg.cmdSH->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const QStringList after = s.column(kItems, {QStringLiteral("202612")});
        QCOMPARE(after.size(), 15); // the delivered template before start-up completes it
        QCOMPARE(after.at(1), QStringLiteral("GZ2:岗位津贴 'A':0:2:1"));
        QCOMPARE(after.at(14), QStringLiteral("KK5:个税:1:5:0"));
        QCOMPARE(s.column(kItems, {QStringLiteral("BASE")}), base);
        QCOMPARE(s.column(kItems, {QStringLiteral("202611")}), other);
    }

    void cancelLeavesTheTableAsItWas()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        const QStringList before = s.dump(QStringLiteral("TGZSet"));
        s.ui.answerDialog([&s](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZBaseSet&>(d);
            for (int r = 0; r < 3; ++r) {
                dlg.gridGZ->setCurrentIndex(dlg.gridGZ->model()->index(r, 0));
                answerItem(s.ui, QStringLiteral("改%1").arg(r), 1);
                dlg.cmdEditGZ->click();
            }
            dlg.cmdCancel->click();
            return d.result();
        });
        QVERIFY(!ShowGZBaseSet(s.dm, QStringLiteral("202612")));
        QCOMPARE(s.dump(QStringLiteral("TGZSet")), before);
    }

    void saveFailureKeepsEditsPending()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        const QStringList before = s.dump(QStringLiteral("TGZSet"));
        TfrmGZBaseSet dlg(s.dm);
        QVERIFY(dlg.ReadyData(QStringLiteral("202612")));
        answerItem(s.ui, QStringLiteral("新名"), 0);
        dlg.cmdEditGZ->click();
        answerItem(s.ui, QStringLiteral("新扣"), 0);
        dlg.cmdEditKK->click();
        // Deduction writes fail: the earnings edit must not be stored alone.
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before update on TGZSet when NEW.GZType=1 "
                                             "begin select raise(abort, 'locked'); end"));
        dlg.cmdSH->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("存储数据发生错误！")});
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(s.dump(QStringLiteral("TGZSet")), before);
        s.dm.ADOLocal.execute(QStringLiteral("drop trigger failing"));
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.column(kItems, {QStringLiteral("202612")}).first(), QStringLiteral("GZ1:新名:0:1:0"));
        QCOMPARE(s.column(kItems, {QStringLiteral("202612")}).at(10), QStringLiteral("KK1:新扣:1:1:0"));
    }

    void emptyCaptionIsRefused()
    {
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        TfrmGZSetEdit dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("修改工资设置"));
        dlg.EditName->clear();
        dlg.cmdSH->click();
        QCOMPARE(s.messages, QStringList{QStringLiteral("请务必输入工资项目名称！")});
        QVERIFY(dlg.result() != QDialog::Accepted);
        QString name = QStringLiteral("基本工资");
        int state = 1;
        s.answerDialog([](QDialog& d) {
            auto& e = dynamic_cast<TfrmGZSetEdit&>(d);
            return int(e.EditName->text() == QStringLiteral("基本工资") && e.cmbUseStu->currentIndex() == 1
                           ? QDialog::Accepted
                           : QDialog::Rejected);
        });
        QVERIFY(EditGZSetItem(name, state));
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

SLIP_TEST_MAIN(TestItemSets)

#include "tst_payitems.moc"
