#include "tests/support/Session.h"
#include "tests/support/TestMain.h"
#include "tests/support/Typing.h"

#include "common/Clock.h"
#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "entry/uBMYCalcEdit.h"
#include "entry/uGZDetailEdit.h"
#include "platform/ui/UiHelpers.h"
#include "platform/grid/DBGrid.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30, 0));

QStringList shownCaptions(const ValueSlot* boxes, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        if (boxes[i].shown())
            out << boxes[i].label->text() + QLatin1Char('=') + boxes[i].field;
    return out;
}

// A session with one month "202612" whose earnings items 1, 2 and 5 and deductions 1, 2 are enabled.
struct EntrySession : Session {
    EntrySession()
    {
        Clock::setFixed(kNow);
        addMonth(QStringLiteral("202612"));
        dm.ADOLocal.execute(QStringLiteral("update TGZSet set ShowStu=1 where GZMonth='202612'"));
        dm.ADOLocal.execute(QStringLiteral("update TGZSet set ShowStu=0 where GZMonth='202612' and "
                                           "GZField1 in ('GZ1','GZ2','GZ5','KK1','KK2')"));
    }
    QString value(qint64 id, const QString& field)
    {
        return dm.GetDataBySQL(QStringLiteral("select %1 from TGZ where ID=?").arg(field), {id});
    }
};

void answerBMY(ui::ScriptedUi& ui, const QString& due, const QString& worked, bool ok = true)
{
    ui.answerDialog([=](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmBMYCalcEdit&>(d);
        dlg.EditTotalDay->setText(due);
        if (!worked.isNull())
            dlg.EditTrueDay->setText(worked);
        (ok ? dlg.cmdEnsure : dlg.cmdCancel)->click();
        return d.result();
    });
}

} // namespace

class TestEntry : public QObject {
    Q_OBJECT
private slots:
    void slotsFollowTheEnabledItems()
    {
        EntrySession s;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"),
                                   {{"GZ1", 3000}, {"GZ3", 777}, {"GZ5", 200}, {"KK1", 100}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        QCOMPARE(shownCaptions(dlg.gzSlots.data(), 20), (QStringList{"基本工资=GZ1", "岗位工资=GZ2", "全勤奖=GZ5"}));
        QCOMPARE(shownCaptions(dlg.kkSlots.data(), 10), (QStringList{"养老保险=KK1", "医疗保险=KK2"}));
        QVERIFY(dlg.gzSlots[3].box->isHidden() && dlg.gzSlots[3].label->isHidden());
        QCOMPARE(dlg.gzSlots[2].box->text(), QStringLiteral("200"));
        QCOMPARE(dlg.gzSlots[1].box->text(), QString()); // a zero shows as an empty box
        QCOMPARE(dlg.EditYF->text(), QStringLiteral("3200"));
        QCOMPARE(dlg.EditKK->text(), QStringLiteral("100"));
        QCOMPARE(dlg.EditSF->text(), QStringLiteral("3100"));
        dlg.gzSlots[2].box->setText(QStringLiteral("250"));
        QCOMPARE(dlg.EditYF->text(), QStringLiteral("3250"));
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.value(id, QStringLiteral("GZ5")), QStringLiteral("250"));
        // A disabled item's amount stays, outside the totals.
        QCOMPARE(s.value(id, QStringLiteral("GZ3")), QStringLiteral("777"));
        QCOMPARE(s.value(id, QStringLiteral("YFTotal")), QStringLiteral("3250"));
        QCOMPARE(s.value(id, QStringLiteral("GZTotal")), QStringLiteral("3150"));
        QCOMPARE(s.value(id, QStringLiteral("LOGTime")), QStringLiteral("2026-12-01 08:00:00")); // kept
    }

    void allEarningsDisabledUsesBase()
    {
        EntrySession s;
        s.dm.ADOLocal.execute(QStringLiteral("update TGZSet set ShowStu=1 where GZMonth='202612' and GZType=0"));
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        QCOMPARE(shownCaptions(dlg.gzSlots.data(), 20).size(), 7); // BASE's enabled earnings
        QCOMPARE(shownCaptions(dlg.gzSlots.data(), 20).first(), QStringLiteral("基本工资=GZ1"));
        QCOMPARE(shownCaptions(dlg.kkSlots.data(), 10).size(), 2); // the month's own deductions
    }

    void newRow()
    {
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("新增/修改工资明细"));
        QCOMPARE(dlg.EditMonth->text(), QStringLiteral("202612"));
        QVERIFY(dlg.EditMonth->isReadOnly());
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages.last(), QStringLiteral("请选择或输入部门！"));
        dlg.cmbDepart->setCurrentText(QStringLiteral("销售部"));
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages.last(), QStringLiteral("请选择或输入姓名！"));
        dlg.cmbEmpName->setCurrentText(QStringLiteral("李四"));
        dlg.gzSlots[0].box->setText(QStringLiteral("4500"));
        dlg.kkSlots[1].box->setText(QStringLiteral("90"));
        dlg.EditOneDayMOney->setText(QStringLiteral("205"));
        dlg.EditQM->setText(QStringLiteral("备注"));
        QVERIFY(dlg.SaveData());
        const QStringList ids = s.column(QStringLiteral("select ID from TGZ"));
        QCOMPARE(ids.size(), 1);
        const qint64 id = ids.first().toLongLong();
        QCOMPARE(s.value(id, QStringLiteral("ZWName")), QStringLiteral(" "));
        QCOMPARE(s.value(id, QStringLiteral("GZMonth")), QStringLiteral("202612"));
        QCOMPARE(s.value(id, QStringLiteral("LOGTime")), QStringLiteral("2026-12-10 09:30:00"));
        QCOMPARE(s.value(id, QStringLiteral("GZTotal")), QStringLiteral("4410"));
        QCOMPARE(s.value(id, QStringLiteral("OneDayMOney")), QStringLiteral("205"));
        QCOMPARE(s.value(id, QStringLiteral("WorkDays")), QStringLiteral("0"));
        QCOMPARE(s.value(id, QStringLiteral("EMail")), QString());
        QCOMPARE(s.value(id, QStringLiteral("QM")), QStringLiteral("备注"));
    }

    void wholeAmountsWithoutDecimals()
    {
        EntrySession s;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"),
                                   {{"GZ1", 1234.5}, {"KK1", 0.4}, {"OneDayMOney", 199.6}, {"WorkDays", 21.5}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        QCOMPARE(ui::NumberBoxDecimals(dlg.gzSlots[0].box), 0);
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("1235"));
        QCOMPARE(dlg.kkSlots[0].box->text(), QString()); // rounds to 0: empty
        QCOMPARE(dlg.EditOneDayMOney->text(), QStringLiteral("200"));
        QCOMPARE(dlg.EditWorkDays->text(), QStringLiteral("21.50"));
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.value(id, QStringLiteral("GZ1")), QStringLiteral("1235"));
        QCOMPARE(s.value(id, QStringLiteral("KK1")), QStringLiteral("0"));
        QCOMPARE(s.value(id, QStringLiteral("OneDayMOney")), QStringLiteral("200"));
        QCOMPARE(s.value(id, QStringLiteral("WorkDays")), QStringLiteral("21.5"));
    }

    void decimalsWithTheMask()
    {
        EntrySession s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set ShowFloat=1"));
        startValues().showFloat = 1;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"),
                                   {{"GZ1", 2.675}, {"GZ2", 0}, {"KK1", 1.005}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        QCOMPARE(ui::NumberBoxDecimals(dlg.gzSlots[0].box), 2);
        QCOMPARE(TfrmGZDetailEdit::BoxValue(dlg.gzSlots[0].box), std::optional<double>(2.68));
        QCOMPARE(TfrmGZDetailEdit::BoxValue(dlg.gzSlots[1].box), std::optional<double>(0.0)); // "0.00" stays
        QCOMPARE(dlg.EditYF->text(), QStringLiteral("2.68"));
        QCOMPARE(dlg.EditKK->text(), QStringLiteral("1.01"));
        QCOMPARE(dlg.EditSF->text(), QStringLiteral("1.67"));
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.value(id, QStringLiteral("GZ1")), QStringLiteral("2.68"));
        QCOMPARE(s.value(id, QStringLiteral("GZTotal")), QStringLiteral("1.67"));
    }

    void inputFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("digits") << "1200" << "1200";
        QTest::newRow("point") << "12.5" << "125";
        QTest::newRow("minus") << "-30" << "30";
        QTest::newRow("letters") << "1a2b" << "12";
        QTest::newRow("backspace passes") << "123\b" << "12";
    }
    void inputFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.show();
        for (QLineEdit* box : {dlg.gzSlots[0].box, dlg.EditOneDayMOney}) {
            box->clear();
            box->setFocus();
            for (const QChar c : typed) {
                if (c == QLatin1Char('\b'))
                    QTest::keyClick(box, Qt::Key_Backspace);
                else
                    QTest::keyClicks(box, QString(c));
            }
            QCOMPARE(box->text(), text);
        }
    }

    void textThatIsNoNumberIsNeverStored()
    {
        EntrySession s;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{"GZ2", 50}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        const QString before = dlg.EditYF->text();
        dlg.gzSlots[1].box->insert(QStringLiteral("1-2")); // pasted
        QCOMPARE(dlg.EditYF->text(), before);
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("“岗位工资”中的“501-2”不是有效的数字！")});
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages.size(), 2);
        QCOMPARE(s.value(id, QStringLiteral("GZ2")), QStringLiteral("50"));
    }

    void storeFailureKeepsTheDialogOpen()
    {
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.cmbDepart->setCurrentText(QStringLiteral("A"));
        dlg.cmbEmpName->setCurrentText(QStringLiteral("乙"));
        s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before insert on TGZ "
                                             "begin select raise(abort, 'disk full'); end"));
        dlg.cmdSH->click();
        QCOMPARE(s.ui.messages, QStringList{QStringLiteral("存储数据库发生错误！")});
        QVERIFY(dlg.result() != QDialog::Accepted);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"0"});
        s.dm.ADOLocal.execute(QStringLiteral("drop trigger failing"));
        dlg.cmbEmpName->setCurrentText(QStringLiteral("甲"));
        dlg.cmdSH->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"1"});
    }

    void referenceMonthForTheLists()
    {
        EntrySession s;
        s.addRow(QStringLiteral("202612"), QStringLiteral("本月部"), QStringLiteral("本月人"));
        TfrmGZDetailEdit only(s.dm);
        QVERIFY(only.ReadyData(-1, QStringLiteral("202612")));
        QCOMPARE(only.cmbDepart->itemText(0), QStringLiteral("本月部")); // the only month: its own
        s.addMonth(QStringLiteral("202611"));
        s.addMonth(QStringLiteral("202701")); // created last, newer than the edited month
        s.addRow(QStringLiteral("202611"), QStringLiteral("旧部"), QStringLiteral("旧人"));
        s.addRow(QStringLiteral("202701"), QStringLiteral("销售部"), QStringLiteral("乙"));
        s.addRow(QStringLiteral("202701"), QStringLiteral("财务部"), QStringLiteral("甲"));
        s.addRow(QStringLiteral("202701"), QStringLiteral("财务部"), QStringLiteral("丙"));
        s.addRow(QStringLiteral("202701"), QString(), QStringLiteral("丁"));
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        QStringList departs;
        for (int i = 0; i < dlg.cmbDepart->count(); ++i)
            departs << dlg.cmbDepart->itemText(i);
        QCOMPARE(departs.size(), 2);
        QVERIFY(departs.contains(QStringLiteral("财务部")) && departs.contains(QStringLiteral("销售部")));
        QCOMPARE(dlg.cmbEmpName->count(), 4);
        QVERIFY(dlg.cmbDepart->currentText().isEmpty());
    }

    void calculator()
    {
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.cmdCalc->click();
        QCOMPARE(s.shell.started.size(), size_t(1));
        QCOMPARE(s.shell.started[0].first, QStringLiteral("calc"));
    }

    void enterMovesLikeTab()
    {
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.activateWindow();
        dlg.cmbDepart->setFocus();
        QTRY_VERIFY(dlg.cmbDepart->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(dlg.cmbEmpName->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(dlg.cmbZWName->hasFocus());
        dlg.gzSlots[0].box->setFocus();
        QTest::keyClick(dlg.gzSlots[0].box, Qt::Key_Return);
        QTRY_VERIFY(dlg.gzSlots[1].box->hasFocus());
        QVERIFY(dlg.isVisible()); // Enter never saves or closes
    }

    void dayCalculations()
    {
        EntrySession s;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"),
                                   {{"GZ1", 3000}, {"GZ2", 600}, {"KK1", 100}, {"WorkDays", 11}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        answerBMY(s.ui, QStringLiteral("22"), QString());
        dlg.cmdBMYCalc->click();
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("1500.00"));
        QCOMPARE(dlg.gzSlots[1].box->text(), QStringLiteral("300.00"));
        QCOMPARE(dlg.gzSlots[2].box->text(), QStringLiteral("0.00"));
        QCOMPARE(dlg.kkSlots[0].box->text(), QStringLiteral("100")); // deductions untouched
        QCOMPARE(dlg.EditYF->text(), QStringLiteral("1800"));        // totals keep the amount format
        QCOMPARE(dlg.EditWorkDays->text(), QStringLiteral("11.00"));
        // Twice scales twice, from what the boxes hold.
        answerBMY(s.ui, QStringLiteral("22"), QStringLiteral("11.00"));
        dlg.cmdBMYCalc->click();
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("750.00"));
        // Cancelled: nothing changes.
        answerBMY(s.ui, QStringLiteral("22"), QStringLiteral("0.00"), false);
        dlg.cmdBMYCalc->click();
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("750.00"));
        answerBMY(s.ui, QStringLiteral("22"), QStringLiteral("25.00"));
        dlg.cmdBMYCalc->click();
        QCOMPARE(dlg.gzSlots[1].box->text(), QStringLiteral("170.45")); // 150 x 25 / 22
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.value(id, QStringLiteral("GZ2")), QStringLiteral("170.45")); // two decimals stored
        // Days times rate into the first slot.
        dlg.EditWorkDays->setText(QStringLiteral("21.50"));
        dlg.EditOneDayMOney->setText(QStringLiteral("200"));
        dlg.cmdDayCalc->click();
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("4300.00"));
    }

    void partialMonthChecks_data()
    {
        QTest::addColumn<QString>("due");
        QTest::addColumn<QString>("worked");
        QTest::addColumn<QString>("message");
        QTest::newRow("due empty") << "" << "10.00" << "本月应上班天数不能为0";
        QTest::newRow("due 0") << "0" << "10.00" << "本月应上班天数不能为0";
        QTest::newRow("due 32") << "32" << "10.00" << "本月应上班天数不能大于31";
        QTest::newRow("worked 31.5") << "22" << "31.50" << "本月实际上班天数不能大于31";
        QTest::newRow("due 31, worked 31") << "31" << "31.00" << "";
        QTest::newRow("worked 0") << "22" << "" << "";
        QTest::newRow("worked above due") << "22" << "25.00" << "";
    }
    void partialMonthChecks()
    {
        QFETCH(QString, due);
        QFETCH(QString, worked);
        QFETCH(QString, message);
        ui::ScriptedUi s;
        ui::ScopedUi scope(s);
        TfrmBMYCalcEdit dlg;
        QCOMPARE(dlg.EditTotalDay->text(), QStringLiteral("22"));
        dlg.EditTotalDay->setText(due);
        dlg.EditTrueDay->setText(worked);
        QCOMPARE(dlg.CheckData(), message.isEmpty());
        QCOMPARE(s.messages, message.isEmpty() ? QStringList() : QStringList{message});
    }
};

// Values, texts and orders the operator must be able to trust.
class TestEntryTrust : public QObject {
    Q_OBJECT
private slots:
    void valuesShowWholeAndSaveUnchanged_data()
    {
        QTest::addColumn<int>("showFloat");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("saved");
        QTest::newRow("negative, decimals") << 1 << "GZ1" << -500.0 << "-500.00" << "-500";
        QTest::newRow("negative, whole") << 0 << "GZ1" << -500.0 << "-500" << "-500";
        QTest::newRow("ten million and more") << 1 << "GZ2" << 12345678.9 << "12345678.90" << "12345678.9";
        QTest::newRow("typed without decimals, shown with") << 1 << "GZ1" << 10000000.0 << "10000000.00"
                                                            << "10000000";
        QTest::newRow("largest amount") << 1 << "KK1" << 9999999999.99 << "9999999999.99" << "9999999999.99";
        QTest::newRow("days of 100 and more") << 0 << "WorkDays" << 123.5 << "123.50" << "123.5";
        QTest::newRow("negative day rate") << 0 << "OneDayMOney" << -200.0 << "-200" << "-200";
    }
    void valuesShowWholeAndSaveUnchanged()
    {
        QFETCH(int, showFloat);
        QFETCH(QString, field);
        QFETCH(double, stored);
        QFETCH(QString, shown);
        QFETCH(QString, saved);
        EntrySession s;
        startValues().showFloat = showFloat;
        const qint64 id = s.addRow(QStringLiteral("202612"), QStringLiteral("A"), QStringLiteral("甲"), {{field, stored}});
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(id, QStringLiteral("202612")));
        QLineEdit* box = field == "GZ1" ? dlg.gzSlots[0].box
                         : field == "GZ2" ? dlg.gzSlots[1].box
                         : field == "KK1" ? dlg.kkSlots[0].box
                         : field == "WorkDays" ? dlg.EditWorkDays
                                               : dlg.EditOneDayMOney;
        QCOMPARE(box->text(), shown);
        QVERIFY(dlg.SaveData());
        QCOMPARE(s.value(id, field), saved);
        QVERIFY(s.ui.messages.isEmpty());
    }

    void typingKeepsTheFeelOfTheMask_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals at most") << "12.345" << "12.34";
        QTest::newRow("one point") << "1.2.3" << "1.23";
        QTest::newRow("no sign") << "-5" << "5";
        QTest::newRow("ten digits before the point") << "123456789012" << "1234567890";
        QTest::newRow("letters") << "1a2" << "12";
    }
    void typingKeepsTheFeelOfTheMask()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        EntrySession s;
        startValues().showFloat = 1;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.show();
        QLineEdit* box = dlg.gzSlots[0].box;
        box->clear();
        box->setFocus();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), text);
    }

    void badDayRateChangesNothing_data()
    {
        QTest::addColumn<QString>("days");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("message");
        QTest::newRow("pasted rate") << "21.5" << "12a" << "“工资/天”中的“12a”不是有效的数字！";
        QTest::newRow("pasted days") << "2-1" << "200" << "“出勤天数”中的“2-1”不是有效的数字！";
    }
    void badDayRateChangesNothing()
    {
        QFETCH(QString, days);
        QFETCH(QString, rate);
        QFETCH(QString, message);
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.gzSlots[0].box->setText(QStringLiteral("3000"));
        dlg.EditWorkDays->setText(days);
        dlg.EditOneDayMOney->setText(rate);
        dlg.cmdDayCalc->click();
        QCOMPARE(s.ui.messages, QStringList{message});
        QCOMPARE(dlg.gzSlots[0].box->text(), QStringLiteral("3000"));
        QCOMPARE(dlg.EditYF->text(), QStringLiteral("3000"));
        // Saving names the box too and stores nothing.
        dlg.cmbDepart->setCurrentText(QStringLiteral("A"));
        dlg.cmbEmpName->setCurrentText(QStringLiteral("甲"));
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages.last(), message);
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"0"});
    }

    void textsHoldTheirColumnInGbkBytes()
    {
        EntrySession s;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.show();
        // Typing stops at 20 bytes: ten Chinese characters.
        dlg.cmbZWName->setFocus();
        typeText(dlg.cmbZWName->lineEdit(), QString(12, QChar(0x5DE5)));
        QCOMPARE(dlg.cmbZWName->currentText(), QString(10, QChar(0x5DE5)));
        typeText(dlg.EditQM, QStringLiteral("备注备注备注"));
        QCOMPARE(dlg.EditQM->text(), QStringLiteral("备注备注备"));
        // A text that is too long anyway (set by the program) is refused with its name.
        dlg.cmbDepart->setCurrentText(QStringLiteral("A"));
        dlg.cmbEmpName->setCurrentText(QStringLiteral("甲"));
        dlg.cmbZWName->setCurrentText(QString(11, QChar(0x5DE5)));
        QVERIFY(!dlg.SaveData());
        QCOMPARE(s.ui.messages, QStringList{TooLongMessage(QStringLiteral("职务"), 20)});
        QCOMPARE(s.column(QStringLiteral("select count(*) from TGZ")), QStringList{"0"});
    }

    void dropDownsInPinyinOrder()
    {
        EntrySession s;
        for (const char* name : {"张三", "李四", "abc", "ABC", "王五", "Bob"})
            s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QString::fromUtf8(name));
        s.addRow(QStringLiteral("202612"), QStringLiteral("技术部"), QStringLiteral("赵六"));
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        QStringList names;
        for (int i = 0; i < dlg.cmbEmpName->count(); ++i)
            names << dlg.cmbEmpName->itemText(i).toLower();
        QCOMPARE(names, (QStringList{"abc", "bob", "李四", "王五", "张三", "赵六"}));
        QCOMPARE(dlg.cmbDepart->itemText(0), QStringLiteral("财务部")); // cai before ji
        QCOMPARE(dlg.cmbDepart->count(), 2);
    }

    void readFailureKeepsTheDialogClosed()
    {
        EntrySession s;
        s.dm.ADOLocal.execute(QStringLiteral("alter table TGZSet rename to TGZSetGone"));
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(!dlg.ReadyData(-1, QStringLiteral("202612")));
        QCOMPARE(s.ui.messages, QStringList{kReadDbError});
        QVERIFY(!ShowGZDetailEdit(s.dm, -1, QStringLiteral("202612")));
        QVERIFY(s.ui.dialogTitles.isEmpty());
    }

    void calculatorMissingIsTold()
    {
        EntrySession s;
        s.shell.fails = true;
        TfrmGZDetailEdit dlg(s.dm);
        QVERIFY(dlg.ReadyData(-1, QStringLiteral("202612")));
        dlg.cmdCalc->click();
        QCOMPARE(s.ui.messages, QStringList{CannotOpenMessage(QStringLiteral("系统计算器"))});
    }
};

SLIP_TEST_MAIN(TestEntry, TestEntryTrust)

#include "tst_entry.moc"
