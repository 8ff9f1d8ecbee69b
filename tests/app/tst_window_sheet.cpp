#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "common/Clock.h"
#include "paysheet/PaySheet.h"
#include "paysheet/uSelectHisMonth.h"

#include <QTableView>
#include "common/StartValues.h"
#include "app/uMain.h"
#include "data/uDM.h"
#include "entry/uGZDetailEdit.h"
#include "platform/grid/DBGrid.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

QStringList shownColumn(grid::DBGrid& g, const QString& field)
{
    QStringList out;
    const int c = g.columnOfField(field);
    for (int r = 0; r < g.rowCount(); ++r)
        out << g.cellText(r, c);
    return out;
}

QStringList monthNames(TfrmMainGZT& w)
{
    return shownColumn(*w.gridMonth, QStringLiteral("GZMonth"));
}

bool shown(grid::DBGrid& g, const QString& field)
{
    return g.column(g.columnOfField(field)).visible;
}

QString title(grid::DBGrid& g, const QString& field)
{
    return g.column(g.columnOfField(field)).title;
}

} // namespace

class TestMonths : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }

    void addMonth()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        s.ui.answerText(QStringLiteral("202612")); // the proposed name, accepted
        w.Button1->click();
        QCOMPARE(s.ui.prompts, QStringList{QStringLiteral("请输入新的工资发放月度")});
        QCOMPARE(s.ui.defaults, QStringList{QStringLiteral("202612")}); // this month, "yyyyMM"
        QCOMPARE(monthNames(w), QStringList{QStringLiteral("202612")});
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[202612]工资发放明细表"));
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='202612'")), QStringList{"30"});
        QCOMPARE(title(*w.gridDetail, QStringLiteral("GZ1")), QStringLiteral("应发工资|基本工资"));
        QVERIFY(!shown(*w.gridDetail, QStringLiteral("GZ6")));
        // A second month goes on top and becomes current.
        s.ui.answerText(QStringLiteral("2027-01"));
        w.Button1->click();
        QCOMPARE(monthNames(w), (QStringList{"2027-01", "202612"}));
        QCOMPARE(w.CurrentMonth(), QStringLiteral("2027-01"));
    }

    void nameRefusals_data()
    {
        // Months 202611, ABC and 202612 exist; 202612 is current.
        QTest::addColumn<bool>("rename"); // false: "增加月度", true: "修改"
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("add: same name") << false << "202612" << "名称为[202612]的月度已经存在！";
        QTest::newRow("add: letter case only") << false << "abc" << "名称为[abc]的月度已经存在！";
        QTest::newRow("add: template") << false << "BASE" << "名称为[BASE]的月度已经存在！";
        QTest::newRow("add: template, small letters") << false << "base" << "名称为[base]的月度已经存在！";
        QTest::newRow("add: too long") << false << QString(51, QLatin1Char('x')) << "保存数据发生错误！";
        QTest::newRow("rename: another month") << true << "202611" << "名称为：202611的月度已经存在！";
        QTest::newRow("rename: another month, other case") << true << "abc" << "名称为：abc的月度已经存在！";
        QTest::newRow("rename: template") << true << "Base" << "名称为：Base的月度已经存在！";
        QTest::newRow("rename: too long") << true << QString(51, QLatin1Char('x')) << "保存数据发生错误！";
    }
    void nameRefusals()
    {
        QFETCH(bool, rename);
        QFETCH(QString, name);
        QFETCH(QString, message);
        Session s;
        s.addMonth(QStringLiteral("202611"));
        s.addMonth(QStringLiteral("ABC"));
        s.addMonth(QStringLiteral("202612"));
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList before = s.dump(QStringLiteral("TGZMonth")) + s.dump(QStringLiteral("TGZSet"));
        s.ui.answerText(name);
        (rename ? w.Button2 : w.Button1)->click();
        QCOMPARE(s.ui.messages, QStringList{message});
        QCOMPARE(s.dump(QStringLiteral("TGZMonth")) + s.dump(QStringLiteral("TGZSet")), before);
    }

    void cancelledOrEmptyAddDoesNothing()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        s.ui.answerText(std::nullopt);
        w.Button1->click();
        s.ui.answerText(QString());
        w.Button1->click();
        QCOMPARE(w.gridMonth->rowCount(), 0);
        QVERIFY(s.ui.messages.isEmpty());
    }

    void rename()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));
        const qint64 id = s.addMonth(QStringLiteral("202612"));
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set GZName='底薪' where GZMonth='202612' and GZField1='GZ1'"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 3000}});
        s.addRow(QStringLiteral("202611"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 2900}});
        TfrmMainGZT w(s.dm, s.folder.path());
        s.ui.answerText(QStringLiteral("2026年12月 '终'"));
        w.Button2->click();
        QVERIFY(s.ui.messages.isEmpty());
        QCOMPARE(monthNames(w), (QStringList{"2026年12月 '终'", "202611"}));
        QCOMPARE(w.CurrentMonth(), QStringLiteral("2026年12月 '终'"));
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[2026年12月 '终']工资发放明细表"));
        QCOMPARE(shownColumn(*w.gridDetail, QStringLiteral("GZ1")), QStringList{"3000"});
        QCOMPARE(title(*w.gridDetail, QStringLiteral("GZ1")), QStringLiteral("应发工资|底薪"));
        QCOMPARE(s.column(QStringLiteral("select ID from TGZMonth where GZMonth=?"), {QStringLiteral("2026年12月 '终'")}),
                 QStringList{QString::number(id)});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='202612'")), QStringList{"0"});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ where GZMonth='202611'")), QStringList{"1"});
    }

    void renameToOwnNameChangesNothing()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 3000}});
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList before = s.dump(QStringLiteral("TGZMonth")) + s.dump(QStringLiteral("TGZSet"))
                                   + s.dump(QStringLiteral("TGZ"));
        s.ui.answerText(QStringLiteral("202612"));
        w.Button2->click();
        QCOMPARE(s.ui.defaults, QStringList{QStringLiteral("202612")}); // the current name
        QVERIFY(s.ui.messages.isEmpty());
        QCOMPARE(s.dump(QStringLiteral("TGZMonth")) + s.dump(QStringLiteral("TGZSet")) + s.dump(QStringLiteral("TGZ")),
                 before);
    }

    void failedRenameChangesNothing()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"));
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList before = s.dump(QStringLiteral("TGZSet")) + s.dump(QStringLiteral("TGZ"));
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before update on TGZMonth "
                                             "begin select raise(abort, 'locked'); end"));
        s.ui.answerText(QStringLiteral("202701"));
        w.Button2->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("保存数据发生错误！")});
        QCOMPARE(s.dump(QStringLiteral("TGZSet")) + s.dump(QStringLiteral("TGZ")), before);
    }

    void deleteMonth()
    {
        Session s;
        s.addMonth(QStringLiteral("202610"));
        s.addMonth(QStringLiteral("202611"));
        s.addMonth(QStringLiteral("202612"));
        for (const char* m : {"202610", "202611", "202612"})
            s.addRow(QString::fromLatin1(m), QStringLiteral("财务部"), QStringLiteral("张三"));
        TfrmMainGZT w(s.dm, s.folder.path());
        w.dsGZMonth.setRecNo(2); // 202611
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202611"));
        const QStringList others = s.dump(QStringLiteral("TGZ"), QStringLiteral("where GZMonth<>'202611'"))
                                   + s.dump(QStringLiteral("TGZSet"), QStringLiteral("where GZMonth<>'202611'"));
        s.ui.answerYes(false);
        w.Button3->click();
        QCOMPARE(monthNames(w).size(), 3);
        s.ui.answerYes(true);
        w.Button3->click();
        QCOMPARE(s.ui.questions.last(), QStringLiteral("您确认删除选定月度的数据吗？相应的工资发放明细也将一并删除！"));
        QCOMPARE(monthNames(w), (QStringList{"202612", "202610"}));
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202610")); // the next one
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[202610]工资发放明细表"));
        QCOMPARE(s.dump(QStringLiteral("TGZ"), QStringLiteral("where GZMonth<>'202611'"))
                     + s.dump(QStringLiteral("TGZSet"), QStringLiteral("where GZMonth<>'202611'")),
                 others);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ where GZMonth='202611'")), QStringList{"0"});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='202611'")), QStringList{"0"});
        // Down to no month: the sheet is empty.
        s.ui.answerYes(true);
        w.Button3->click();
        s.ui.answerYes(true);
        w.Button3->click();
        QCOMPARE(w.gridMonth->rowCount(), 0);
        QCOMPARE(w.gridDetail->rowCount(), 0);
        QCOMPARE(w.GroupBoxDetail->title(), QStringLiteral("月度[XXXX]工资发放明细表"));
        s.ui.answerYes(true);
        w.Button3->click(); // nothing to delete: no question
        w.Button2->click();
        QCOMPARE(s.ui.questions.size(), 4);
        QVERIFY(s.ui.prompts.isEmpty());
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='BASE'")), QStringList{"30"});
    }

    void failedDeleteChangesNothing()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"));
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList before = s.dump(QStringLiteral("TGZSet")) + s.dump(QStringLiteral("TGZ"));
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before delete on TGZMonth "
                                             "begin select raise(abort, 'locked'); end"));
        s.ui.answerYes(true);
        w.Button3->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("删除数据发生错误！")});
        QCOMPARE(s.dump(QStringLiteral("TGZSet")) + s.dump(QStringLiteral("TGZ")), before);
    }
};

class TestSheet : public QObject {
    Q_OBJECT
private slots:
    void itemColumnsFollowTheMonth()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));                  // own items, all deductions disabled
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set ShowStu=1 where GZMonth='202611' and GZType=1"));
        s.dm.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values ('202612')")); // no items
        TfrmMainGZT w(s.dm, s.folder.path());
        grid::DBGrid& g = *w.gridDetail;
        QAbstractItemModelTester tester(&g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));
        QCOMPARE(title(g, QStringLiteral("KK1")), QStringLiteral("应扣/代扣工资|养老保险")); // BASE's
        QVERIFY(shown(g, QStringLiteral("KK1")));
        QVERIFY(shown(g, QStringLiteral("KKTotal")));
        QVERIFY(!shown(g, QStringLiteral("GZ6")));
        w.dsGZMonth.setRecNo(2);
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202611"));
        for (const QString& f : {QStringLiteral("KK1"), QStringLiteral("KK5"), QStringLiteral("KKTotal")})
            QVERIFY2(!shown(g, f), qPrintable(f)); // no fallback to BASE
        QVERIFY(shown(g, QStringLiteral("YFTotal")));
        QVERIFY(shown(g, QStringLiteral("GZTotal")));
        w.dsGZMonth.setRecNo(1);
        QVERIFY(shown(g, QStringLiteral("KK1")));
        QVERIFY(shown(g, QStringLiteral("KKTotal")));
        QCOMPARE(title(g, QStringLiteral("YFTotal")), QStringLiteral("应发工资|合计"));
        QCOMPARE(title(g, QStringLiteral("KKTotal")), QStringLiteral("应扣/代扣工资|合计"));
        QVERIFY(!shown(g, QStringLiteral("ID")));
        QVERIFY(!shown(g, QStringLiteral("EMail")));
    }

    void dayColumns_data()
    {
        QTest::addColumn<int>("printDays");
        QTest::addColumn<bool>("visible");
        QTest::newRow("printed") << 1 << true;
        QTest::newRow("not printed") << 0 << false;
        QTest::newRow("other value") << 2 << false;
    }
    void dayColumns()
    {
        QFETCH(int, printDays);
        QFETCH(bool, visible);
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set PrintDays=?"), {printDays});
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"),
                 {{"WorkDays", 21.5}, {"OneDayMOney", 200}});
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(shown(*w.gridDetail, QStringLiteral("WorkDays")), visible);
        QCOMPARE(shown(*w.gridDetail, QStringLiteral("OneDayMOney")), visible);
        QCOMPARE(shownColumn(*w.gridDetail, QStringLiteral("WorkDays")), QStringList{"21.50"});
        QCOMPARE(shownColumn(*w.gridDetail, QStringLiteral("OneDayMOney")), QStringList{"200"});
    }

    void footer_data()
    {
        QTest::addColumn<int>("showFloat");
        QTest::addColumn<QStringList>("gz1");
        QTest::addColumn<QString>("gz1Sum");
        QTest::addColumn<QString>("netSum");
        QTest::newRow("whole amounts") << 0 << QStringList{"3", "1500", "1000"} << "2503" << "2350";
        QTest::newRow("decimals") << 1 << QStringList{"2.68", "1500.00", "1000.40"} << "2503.08" << "2350.33";
    }
    void footer()
    {
        QFETCH(int, showFloat);
        QFETCH(QStringList, gz1);
        QFETCH(QString, gz1Sum);
        QFETCH(QString, netSum);
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set ShowFloat=?"), {showFloat});
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 2.675}, {"GZTotal", 0.33}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("B"), QStringLiteral("乙"), {{"GZ1", 1500}, {"GZTotal", 1350}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("C"), QStringLiteral("丙"), {{"GZ1", 1000.4}, {"GZTotal", 1000}});
        TfrmMainGZT w(s.dm, s.folder.path());
        grid::DBGrid& g = *w.gridDetail;
        QCOMPARE(shownColumn(g, QStringLiteral("GZ1")), gz1);
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("SortIdx"))), QStringLiteral("合计"));
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("EmpName"))), QStringLiteral("3条"));
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("GZ1"))), gz1Sum);
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("GZTotal"))), netSum);
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("DepartName"))), QString());
        QCOMPARE(shownColumn(g, QStringLiteral("SortIdx")), (QStringList{"1", "2", "3"}));
        QCOMPARE(shownColumn(g, QStringLiteral("LOGTime")).first(), QStringLiteral("26-12-01 08:00"));
    }

    void sortingTwiceReverses()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("销售部"), QStringLiteral("王五"), {{"GZ1", 1}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 3}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("李四"), {{"GZ1", 2}});
        TfrmMainGZT w(s.dm, s.folder.path());
        grid::DBGrid& g = *w.gridDetail;
        QAbstractItemModelTester tester(&g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const int gz1 = g.columnOfField(QStringLiteral("GZ1"));
        emit g.titleClicked(gz1);
        QVERIFY(w.sortAscending());
        QCOMPARE(shownColumn(g, QStringLiteral("GZ1")), (QStringList{"1", "2", "3"}));
        QCOMPARE(g.column(gz1).marker, grid::SortMarker::Down);
        QCOMPARE(shownColumn(g, QStringLiteral("SortIdx")), (QStringList{"1", "2", "3"}));
        const int name = g.columnOfField(QStringLiteral("EmpName"));
        emit g.titleClicked(name); // one flag for the whole sheet: now descending
        QVERIFY(!w.sortAscending());
        QCOMPARE(g.column(name).marker, grid::SortMarker::Up);
        QCOMPARE(g.column(gz1).marker, grid::SortMarker::None);
        const QStringList desc = shownColumn(g, QStringLiteral("EmpName"));
        emit g.titleClicked(name);
        QStringList asc = desc;
        std::reverse(asc.begin(), asc.end());
        QCOMPARE(shownColumn(g, QStringLiteral("EmpName")), asc);
        QCOMPARE(shownColumn(g, QStringLiteral("SortIdx")), (QStringList{"1", "2", "3"}));
        // "序号" does not sort and keeps the flag.
        emit g.titleClicked(g.columnOfField(QStringLiteral("SortIdx")));
        QVERIFY(w.sortAscending());
        // A reload restores department-and-name order; the flag stays.
        w.ReadyGZList(QStringLiteral("202612"));
        // 财务部 (cai) before 销售部 (xiao), 李四 (li) before 张三 (zhang): pinyin order.
        QCOMPARE(shownColumn(g, QStringLiteral("EmpName")), (QStringList{"李四", "张三", "王五"}));
        QVERIFY(w.sortAscending());
    }

    void deleteRowUpdatesTheFooter()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addMonth(QStringLiteral("202611"));
        s.addRow(QStringLiteral("202611"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 100}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 100}});
        const qint64 second = s.addRow(QStringLiteral("202612"), QStringLiteral("B"), QStringLiteral("乙"), {{"GZ1", 20}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("C"), QStringLiteral("丙"), {{"GZ1", 3}});
        TfrmMainGZT w(s.dm, s.folder.path());
        w.dsGZMonth.setRecNo(2);
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));
        grid::DBGrid& g = *w.gridDetail;
        QAbstractItemModelTester tester(&g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const int gz1 = g.columnOfField(QStringLiteral("GZ1"));
        g.view()->selectAll(); // several rows selected: only the current one goes
        g.view()->setCurrentIndex(g.model().index(1, gz1));
        QCOMPARE(w.dsGZDetail.recNo(), 2);
        s.ui.answerYes(false);
        w.Button6->click();
        QCOMPARE(g.rowCount(), 3);
        s.ui.answerYes(true);
        w.Button6->click();
        QCOMPARE(s.ui.questions.last(), QStringLiteral("您确认删除选定的工资记录吗？"));
        QCOMPARE(g.rowCount(), 2);
        QCOMPARE(g.footerText(g.columnOfField(QStringLiteral("EmpName"))), QStringLiteral("2条"));
        QCOMPARE(g.footerText(gz1), QStringLiteral("103"));
        QCOMPARE(shownColumn(g, QStringLiteral("SortIdx")), (QStringList{"1", "2"}));
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ where ID=?"), {second}), QStringList{"0"});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"3"});
    }

    void failedRowDeleteKeepsTheRow()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 100}});
        TfrmMainGZT w(s.dm, s.folder.path());
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before delete on TGZ "
                                             "begin select raise(abort, 'locked'); end"));
        s.ui.answerYes(true);
        w.Button6->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("删除数据发生错误！")});
        QCOMPARE(w.gridDetail->rowCount(), 1);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"1"});
    }

    void monthNamesAreBound()
    {
        Session s;
        const QString tricky = QStringLiteral("12' or '1'='1");
        s.addMonth(tricky);
        s.addMonth(QStringLiteral("202611"));
        s.addRow(QStringLiteral("202611"), QStringLiteral("A"), QStringLiteral("甲"));
        s.addRow(tricky, QStringLiteral("A"), QStringLiteral("乙"));
        TfrmMainGZT w(s.dm, s.folder.path());
        w.dsGZMonth.setRecNo(2);
        QCOMPARE(w.CurrentMonth(), tricky);
        QCOMPARE(shownColumn(*w.gridDetail, QStringLiteral("EmpName")), QStringList{"乙"});
    }
};

namespace {

// Scripts the history picker: chooses the given month, or cancels with an empty name.
void answerHistory(ui::ScriptedUi& ui, const QString& month, QStringList* listed = nullptr)
{
    ui.answerDialog([=](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmSelectHisMonth&>(d);
        QAbstractItemModel* m = dlg.gridMonths->model();
        if (listed)
            for (int r = 0; r < m->rowCount(); ++r)
                *listed << m->index(r, 0).data().toString();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->index(r, 0).data().toString() == month)
                dlg.gridMonths->setCurrentIndex(m->index(r, 0));
        (month.isEmpty() ? dlg.cmdCancel : dlg.cmdSelect)->click();
        return d.result();
    });
}

const QString kRowFields = QStringLiteral(
    "select DepartName||'/'||EmpName||'/'||ZWName||'/'||ifnull(WorkDays,'-')||'/'||ifnull(OneDayMOney,'-')||'/'||"
    "GZ1||'/'||YFTotal||'/'||KK1||'/'||KKTotal||'/'||GZTotal||'/'||ifnull(QM,'')||'/'||ifnull(EMail,'') "
    "from TGZ where GZMonth=? order by ID");

} // namespace

class TestCopy : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }

    void copyMonthIntoANewMonth()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set GZName='十一月底薪' where GZMonth='202611' and GZField1='GZ1'"));
        for (int i = 0; i < 30; ++i)
            s.addRow(QStringLiteral("202611"), QStringLiteral("部%1").arg(i % 3), QStringLiteral("人%1").arg(i),
                     {{"GZ1", 1000 + i}, {"YFTotal", 1000 + i}, {"KK1", 10}, {"KKTotal", 10}, {"GZTotal", 990 + i},
                      {"WorkDays", 22}, {"OneDayMOney", 50}});
        s.dm.ADOLocal.execute(QStringLiteral("update TGZ set ZWName='经理', QM='好', EMail='a@b.cn' where EmpName='人1'"));
        s.addMonth(QStringLiteral("202612"));
        TfrmMainGZT w(s.dm, s.folder.path());
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));
        QStringList listed;
        answerHistory(s.ui, QStringLiteral("202611"), &listed);
        w.Button9->click();
        QVERIFY(s.ui.questions.isEmpty()); // the target is empty: no question
        QCOMPARE(listed, QStringList{"202611"});
        QCOMPARE(s.ui.dialogTitles, QStringList{"选择历史发放月度"});
        const QStringList copied = s.column(kRowFields, {QStringLiteral("202612")});
        QCOMPARE(copied.size(), 30);
        QCOMPARE(copied.at(0), QStringLiteral("部0/人0/ /-/-/1000.0/1000.0/10.0/10.0/990.0//"));
        QCOMPARE(copied.at(1), QStringLiteral("部1/人1/经理/-/-/1001.0/1001.0/10.0/10.0/991.0/好/a@b.cn"));
        QCOMPARE(s.column(QStringLiteral("select distinct LOGTime from TGZ where GZMonth='202612'")),
                 QStringList{"2026-12-10 09:00:00"});
        QCOMPARE(w.gridDetail->rowCount(), 30);
        QCOMPARE(title(*w.gridDetail, QStringLiteral("GZ1")), QStringLiteral("应发工资|十一月底薪"));
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ where GZMonth='202611'")), QStringList{"30"});
    }

    void copyMonthOntoItselfDoubles()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 1}});
        s.addRow(QStringLiteral("202612"), QStringLiteral("B"), QStringLiteral("乙"), {{"GZ1", 2}});
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList items = s.dump(QStringLiteral("TGZSet"), QStringLiteral("where GZMonth='202612'"));
        s.ui.answerYes(false);
        w.Button9->click();
        QCOMPARE(s.ui.questions, QStringList{QStringLiteral("月度数据复制应针对新的月度！您确认继续复制吗？\n"
                                                            "选定月度下已经有数据，可能会造成数据重复！")});
        QVERIFY(s.ui.dialogTitles.isEmpty());
        s.ui.answerYes(true);
        answerHistory(s.ui, QStringLiteral("202612"));
        w.Button9->click();
        QCOMPARE(s.column(QStringLiteral("select EmpName from TGZ order by ID")), (QStringList{"甲", "乙", "甲", "乙"}));
        QCOMPARE(w.gridDetail->rowCount(), 4);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='202612'")), QStringList{"15"});
        Q_UNUSED(items);
    }

    void sourceWithoutItemsGivesBase()
    {
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values ('old')")); // no items
        s.addRow(QStringLiteral("old"), QStringLiteral("A"), QStringLiteral("甲"));
        s.addMonth(QStringLiteral("202612"));
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set GZName='自有' where GZMonth='202612'"));
        TfrmMainGZT w(s.dm, s.folder.path());
        answerHistory(s.ui, QStringLiteral("old"));
        w.Button9->click();
        QCOMPARE(s.column(QStringLiteral("select GZName from TGZSet where GZMonth='202612' order by ID")),
                 s.column(QStringLiteral("select GZName from TGZSet where GZMonth='BASE' order by ID")));
    }

    void historyListOrderAndCancel()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        for (const char* m : {"202611", "2026-10", "九月", "202512"})
            s.addRow(QString::fromUtf8(m), QStringLiteral("A"), QStringLiteral("甲"));
        TfrmMainGZT w(s.dm, s.folder.path());
        QStringList listed;
        answerHistory(s.ui, QString(), &listed);
        w.Button9->click();
        QCOMPARE(listed, (QStringList{"九月", "202611", "2026-10", "202512"}));
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ where GZMonth='202612'")), QStringList{"0"});
    }

    void failedMonthCopyChangesNothing()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));
        s.addRow(QStringLiteral("202611"), QStringLiteral("A"), QStringLiteral("甲"));
        s.addRow(QStringLiteral("202611"), QStringLiteral("B"), QStringLiteral("乙"));
        s.addMonth(QStringLiteral("202612"));
        TfrmMainGZT w(s.dm, s.folder.path());
        const QStringList before = s.dump(QStringLiteral("TGZ")) + s.dump(QStringLiteral("TGZSet"));
        // The item set copy fails after the rows were written: the rows must go too.
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before insert on TGZSet "
                                             "begin select raise(abort, 'disk full'); end"));
        answerHistory(s.ui, QStringLiteral("202611"));
        w.Button9->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("复制数据失败！")});
        QCOMPARE(s.dump(QStringLiteral("TGZ")) + s.dump(QStringLiteral("TGZSet")), before);
    }

    void noMonthToCopyInto()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        w.Button9->click();
        w.Button10->click();
        QCOMPARE(s.ui.messages, (QStringList{"请首先增加新的工资发放月度作为数据复制的目的月度！",
                                             "没有可复制的职员工资数据记录！"}));
    }

    void copyRow()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ1", 5}});
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("B"), QStringLiteral("乙"),
                                   {{"GZ1", 3000}, {"YFTotal", 3000}, {"KK1", 100}, {"KKTotal", 100},
                                    {"GZTotal", 2900}, {"WorkDays", 21.5}, {"OneDayMOney", 200}});
        s.dm.ADOLocal.execute(QStringLiteral("update TGZ set ZWName='经理', QM='注', EMail='b@c.cn' where ID=?"), {id});
        TfrmMainGZT w(s.dm, s.folder.path());
        w.dsGZDetail.setRecNo(2);
        s.ui.answerYes(false);
        w.Button10->click();
        QCOMPARE(w.gridDetail->rowCount(), 2);
        s.ui.answerYes(true);
        w.Button10->click();
        QCOMPARE(s.ui.questions.last(), QStringLiteral("您确认复制选定的工资记录为新记录吗？"));
        const QStringList rows = s.column(kRowFields, {QStringLiteral("202612")});
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(2), rows.at(1));
        QCOMPARE(rows.at(2), QStringLiteral("B/乙/经理/21.5/200.0/3000.0/3000.0/100.0/100.0/2900.0/注/b@c.cn"));
        QCOMPARE(s.column(QStringLiteral("select LOGTime from TGZ order by ID desc limit 1")),
                 QStringList{"2026-12-10 09:00:00"});
        QCOMPARE(w.gridDetail->rowCount(), 3);
    }
};

// What the operator sees after the sheet's commands, and its read failures.
class TestSheetTrust : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }

    void storedRowIsCurrentAfterEditAndAdd()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        for (const char* name : {"甲", "乙", "丙", "丁"})
            s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QString::fromUtf8(name), {{"GZ1", 100}});
        TfrmMainGZT w(s.dm, s.folder.path());
        auto currentName = [&w] { return w.dsGZDetail.fieldByName(QStringLiteral("EmpName")).asString(); };
        w.dsGZDetail.setRecNo(3);
        const QString edited = currentName();
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZDetailEdit&>(d);
            dlg.gzSlots[0].box->setText(QStringLiteral("250"));
            dlg.cmdSH->click();
            return d.result();
        });
        w.Button5->click();
        QCOMPARE(currentName(), edited);
        QCOMPARE(w.gridDetail->view()->currentIndex().row(), 2);
        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmGZDetailEdit&>(d);
            dlg.cmbDepart->setCurrentText(QStringLiteral("财务部"));
            dlg.cmbEmpName->setCurrentText(QStringLiteral("新人"));
            dlg.cmdSH->click();
            return d.result();
        });
        w.Button4->click();
        QCOMPARE(currentName(), QStringLiteral("新人"));
        QCOMPARE(w.gridDetail->view()->currentIndex().row(), w.dsGZDetail.recNo() - 1);
    }

    void sheetTitlesReadFailureIsTold()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        TfrmMainGZT w(s.dm, s.folder.path());
        s.dm.ADOLocal.execute(QStringLiteral("alter table TGZSet rename to TGZSetGone"));
        QVERIFY(w.ReadyGZList(QStringLiteral("202612"))); // the rows still load
        QCOMPARE(s.ui.messages, QStringList{kReadDbError});
    }

    void renameDropsItemsLeftUnderTheNewName()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        // Items of a month deleted long ago, left under the name chosen now.
        s.dm.ADOLocal.execute(QStringLiteral("insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                             "values ('旧月','GZ1','遗留',0,1,0)"));
        TfrmMainGZT w(s.dm, s.folder.path());
        s.ui.answerText(QStringLiteral("旧月"));
        w.Button2->click();
        QVERIFY(s.ui.messages.isEmpty());
        // The month's own 15 items, renamed with it; the left-over item is gone.
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZMonth='旧月'")), QStringList{"15"});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZSet where GZName='遗留'")), QStringList{"0"});
        QCOMPARE(w.gridDetail->column(w.gridDetail->columnOfField(QStringLiteral("GZ1"))).title,
                 QStringLiteral("应发工资|基本工资"));
    }

    void historyPickerReadFailureIsTold()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        TfrmMainGZT w(s.dm, s.folder.path());
        s.dm.ADOLocal.execute(QStringLiteral("alter table TGZ rename to TGZGone"));
        w.Button9->click();
        QCOMPARE(s.ui.messages, QStringList{kReadDbError});
        QVERIFY(s.ui.dialogTitles.isEmpty());
    }
};

SLIP_TEST_MAIN(TestMonths, TestSheet, TestCopy, TestSheetTrust)

#include "tst_window_sheet.moc"
