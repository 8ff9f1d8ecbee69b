#include "tests/support/ScriptedDialogs.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "data/Schema.h"
#include "payitems/GZSet.h"
#include "payitems/ItemSet.h"
#include "payitems/TemplateChoice.h"
#include "payitems/uGZBaseSet.h"
#include "payitems/uGZSetEdit.h"
#include "platform/grid/DBGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

namespace {

const QString kItems = QStringLiteral("select GZField1 || ':' || GZName || ':' || GZType || ':' || SortIdx || ':' || ShowStu "
                                      "from TGZSet where GZMonth=? order by ID");



} // namespace

class TestItemSets : public QObject {
    Q_OBJECT
private slots:

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

    void dialogReadFailureKeepsItClosed()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.dm.ADOLocal.execute(QStringLiteral("alter table TGZSet rename to TGZSetGone"));
        QVERIFY(!ShowGZBaseSet(s.dm, QStringLiteral("202612")));
        QCOMPARE(s.ui.messages, QStringList{kReadDbError});
        QVERIFY(s.ui.dialogTitles.isEmpty());
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
};

// The one rule for a month's item set, per reader, and the template choice.
class TestItemLookups : public QObject {
    Q_OBJECT
private slots:
    void monthItems_data()
    {
        // Month M holds GZ2 (SortIdx 2, enabled), then GZ1 (SortIdx 1, enabled), GZ3
        // (disabled) and KK1 (disabled), in that ID order; BASE is complete (30 items).
        QTest::addColumn<QString>("prepare"); // run on the fixture first; may be empty
        QTest::addColumn<int>("reader");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected"); // owner ":" fields in the order read

        using payitems::Reader;
        const int gz = int(payitems::ItemType::Earnings), kk = int(payitems::ItemType::Deductions),
                  both = int(payitems::ItemType::Both);
        const QString noKK = "delete from TGZSet where GZMonth='M' and GZType=1";
        const QString noGZ = "delete from TGZSet where GZMonth='M' and GZType=0";
        const QString none = "delete from TGZSet where GZMonth='M'";
        const QString kkByIdNotSort = "insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) values "
                                      "('M','KK3','c',1,3,0),('M','KK2','b',1,2,0)";
        const QString allKK = "KK1,KK2,KK3,KK4,KK5,KK6,KK7,KK8,KK9,KK10";
        QTest::newRow("sheet: own earnings by SortIdx, disabled too")
            << "" << int(Reader::SheetColumns) << gz << "M:GZ1,GZ2,GZ3";
        QTest::newRow("sheet: own deductions all disabled stay own")
            << "" << int(Reader::SheetColumns) << kk << "M:KK1";
        QTest::newRow("sheet: no deductions of its own") << noKK << int(Reader::SheetColumns) << kk << "BASE:" + allKK;
        QTest::newRow("entry: enabled earnings by SortIdx") << "" << int(Reader::EntrySlots) << gz << "M:GZ1,GZ2";
        QTest::newRow("entry: no enabled deductions") << "" << int(Reader::EntrySlots) << kk
                                                      << "BASE:KK1,KK2,KK3,KK4,KK5";
        QTest::newRow("entry: deductions by SortIdx") << kkByIdNotSort << int(Reader::EntrySlots) << kk << "M:KK2,KK3";
        QTest::newRow("dialog: earnings by ID") << "" << int(Reader::ItemDialog) << gz << "M:GZ2,GZ1,GZ3";
        QTest::newRow("dialog: no earnings, deductions are BASE's")
            << noGZ << int(Reader::ItemDialog) << kk << "BASE:" + allKK;
        QTest::newRow("dialog: earnings but no deductions stay own")
            << noKK << int(Reader::ItemDialog) << kk << "M:";
        QTest::newRow("payslips: enabled earnings by SortIdx") << "" << int(Reader::Payslips) << gz << "M:GZ1,GZ2";
        QTest::newRow("payslips: deductions by ID") << kkByIdNotSort << int(Reader::Payslips) << kk << "M:KK3,KK2";
        QTest::newRow("payslips: all disabled stay own")
            << "update TGZSet set ShowStu=1 where GZMonth='M'" << int(Reader::Payslips) << gz << "M:";
        QTest::newRow("payslips: no items at all") << none << int(Reader::Payslips) << gz
                                                    << "BASE:GZ1,GZ2,GZ3,GZ4,GZ5,GZ7,GZ8";
        QTest::newRow("copy: own, both types by ID") << "" << int(Reader::CopySource) << both << "M:GZ2,GZ1,GZ3,KK1";
        QTest::newRow("copy: no items") << none << int(Reader::CopySource) << both
                                        << "BASE:GZ1,GZ2,GZ3,GZ4,GZ5,GZ6,GZ7,GZ8,GZ9,GZ10,KK1,KK2,KK3,KK4,KK5,"
                                           "GZ11,GZ12,GZ13,GZ14,GZ15,GZ16,GZ17,GZ18,GZ19,GZ20,KK6,KK7,KK8,KK9,KK10";
        QTest::newRow("month name in another letter case") << "" << int(Reader::SheetColumns) << gz << "M:GZ1,GZ2,GZ3";
    }
    void monthItems()
    {
        QFETCH(QString, prepare);
        QFETCH(int, reader);
        QFETCH(int, type);
        QFETCH(QString, expected);
        Session s;
        schema::StructUpdate(s.dm.ADOLocal);
        s.dm.ADOLocal.execute(QStringLiteral(
            "insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) values "
            "('M','GZ2','岗位',0,2,0),('M','GZ1','底薪',0,1,0),('M','GZ3','奖金',0,3,1),('M','KK1','社保',1,1,1)"));
        if (!prepare.isEmpty())
            s.dm.ADOLocal.execute(prepare);
        const QString month = QString::fromLatin1(QTest::currentDataTag()).contains("letter case") ? "m" : "M";
        const payitems::ItemList list =
            payitems::MonthItems(s.dm.ADOLocal, month, payitems::ItemType(type), payitems::Reader(reader));
        QStringList fields;
        for (const payitems::PayItem& it : list.items)
            fields << it.field;
        QCOMPARE(list.owner.toUpper() + ":" + fields.join(','), expected);
    }

    void monthItemsWithoutDatabaseThrow()
    {
        TDM dm; // never connected
        QVERIFY_THROWS_EXCEPTION(db::DbError,
                                 payitems::MonthItems(dm.ADOLocal, "M", payitems::ItemType::Earnings,
                                                      payitems::Reader::SheetColumns));
    }

    void templateChoice_data()
    {
        QTest::addColumn<QString>("printDays");
        QTest::addColumn<int>("deductions");
        QTest::addColumn<int>("earnings");
        QTest::addColumn<QString>("stem");
        QTest::addColumn<bool>("fitted");
        QTest::newRow("days, fitted counts") << "1" << 3 << 8 << "GZBillWithDay" << true;
        QTest::newRow("days, 12 earnings: fixed") << "1" << 3 << 12 << "GZBillWithDay" << false;
        QTest::newRow("days, no deductions") << "1" << 0 << 0 << "GZBillWithDay" << true;
        QTest::newRow("any text but 0 is on") << "2" << 6 << 11 << "GZBillWithDay" << false;
        QTest::newRow("empty setting is off") << "" << 5 << 10 << "GZBill" << true;
        QTest::newRow("no deductions, 12 earnings") << "0" << 0 << 12 << "GZBillNoKK" << false;
        QTest::newRow("no deductions, 10 earnings") << "0" << 0 << 10 << "GZBillNoKK" << true;
        QTest::newRow("5 and 10") << "0" << 5 << 10 << "GZBill" << true;
        QTest::newRow("1 and 0") << "0" << 1 << 0 << "GZBill" << true;
        QTest::newRow("5 and 11") << "0" << 5 << 11 << "GZBill20_5" << false;
        QTest::newRow("6 and 10") << "0" << 6 << 10 << "GZBill10_10" << false;
        QTest::newRow("6 and 11") << "0" << 6 << 11 << "GZBill20_10" << false;
        QTest::newRow("10 and 20") << "0" << 10 << 20 << "GZBill20_10" << false;
    }
    void templateChoice()
    {
        QFETCH(QString, printDays);
        QFETCH(int, deductions);
        QFETCH(int, earnings);
        QFETCH(QString, stem);
        QFETCH(bool, fitted);
        QCOMPARE(payitems::ChooseTemplate(printDays, deductions, earnings), (payitems::TemplateChoice{stem, fitted}));
    }
};

SLIP_TEST_MAIN(TestItemSets, TestItemLookups)

#include "tst_payitems.moc"
