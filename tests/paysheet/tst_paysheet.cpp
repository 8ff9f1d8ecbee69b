#include "tests/support/SheetFixture.h"
#include "tests/support/TestMain.h"

#include "common/Text.h"
#include "paysheet/PaySheet.h"
#include "paysheet/RowTotals.h"
#include "paysheet/ShownSheet.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"

// The pay sheet as shown, read without a window, and the row totals.


class TestShownSheet : public QObject {
    Q_OBJECT
private slots:
    void matchesTheGridCellByCell_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("whole amounts") << kWholeFormat;
        QTest::newRow("two decimals") << kDecimalFormat;
    }
    void matchesTheGridCellByCell()
    {
        QFETCH(QString, format);
        SheetFixture f(format);
        f.rs.sort(QStringLiteral("EmpName"), false); // as sorted by a title click
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        QVERIFY(sheet.open);
        QCOMPARE(sheet.columnCount(), 44);
        QCOMPARE(sheet.rowCount(), 3);
        QVERIFY(sheet.hasFooter());
        for (int c = 0; c < f.grid.columnCount(); ++c) {
            const grid::Column& g = f.grid.column(c);
            const paysheet::ShownColumn& col = sheet.columns[c];
            QCOMPARE(col.field, g.fieldName);
            QCOMPARE(col.title, g.title);
            QCOMPARE(col.group, g.group());
            QCOMPARE(col.caption, g.caption());
            QCOMPARE(col.visible, g.visible);
            QCOMPARE(col.width, f.grid.columnWidth(c));
            QCOMPARE(col.alignment, g.alignment);
            QCOMPARE(sheet.footerTexts[c], f.grid.footerText(c));
            for (int r = 0; r < 3; ++r)
                QCOMPARE(sheet.texts[r][c], f.grid.cellText(r, c));
        }
        // Hidden columns are there with their cells.
        const int mail = sheet.columnOfField("EMail"), gz6 = sheet.columnOfField("gz6");
        QVERIFY(!sheet.columns[mail].visible);
        QVERIFY(!sheet.columns[gz6].visible);
        QCOMPARE(sheet.values[0][gz6].toDouble(), 50.0); // 张三 (zhang), first in descending pinyin order
        QCOMPARE(sheet.texts[1][sheet.columnOfField("EmpName")], QStringLiteral("王五"));
        QCOMPARE(sheet.texts[0][sheet.columnOfField("SortIdx")], QStringLiteral("1"));
        QCOMPARE(sheet.footerTexts[sheet.columnOfField("SortIdx")], QStringLiteral("合计"));
        QCOMPARE(sheet.footerTexts[sheet.columnOfField("EmpName")], QStringLiteral("3条"));
        QCOMPARE(sheet.footerTexts[sheet.columnOfField("GZ1")],
                 format == kWholeFormat ? QStringLiteral("7000") : QStringLiteral("7000.25"));
        QVERIFY(sheet.footerTexts[sheet.columnOfField("OneDayMOney")].isEmpty()); // no aggregate
        QCOMPARE(sheet.columns[sheet.columnOfField("WorkDays")].format, kDecimalFormat);
        QCOMPARE(sheet.columns[sheet.columnOfField("GZTotal")].format, format);
        QCOMPARE(sheet.columns[sheet.columnOfField("GZTotal")].type, db::FieldType::Float);
        QCOMPARE(sheet.rowHeight, 0); // the grid has no row height of its own
    }

    void isAValueThatStaysAsRead()
    {
        SheetFixture f(kWholeFormat);
        const paysheet::ShownSheet sheet = paysheet::ReadShownSheet(f.grid);
        f.rs.close();
        QCOMPARE(sheet.rowCount(), 3);
        const paysheet::ShownSheet closed = paysheet::ReadShownSheet(f.grid);
        QVERIFY(!closed.open);
        QCOMPARE(closed.rowCount(), 0);
        QCOMPARE(closed.columnCount(), 44);
    }

    void operatorWidthIsKept()
    {
        SheetFixture f(kWholeFormat);
        const int name = f.grid.columnOfField(QStringLiteral("EmpName"));
        f.grid.header()->resizeSection(name, 155); // dragged by the operator
        paysheet::ApplyDayColumns(f.grid, 1);       // the sheet is prepared again
        QCOMPARE(f.grid.columnWidth(name), 155);
        QCOMPARE(paysheet::ReadShownSheet(f.grid).columns[name].width, 155);
    }
};

class TestRowTotals : public QObject {
    Q_OBJECT
private slots:
    void totals_data()
    {
        QTest::addColumn<QList<double>>("earnings");
        QTest::addColumn<QList<double>>("deductions");
        QTest::addColumn<int>("decimals"); // -1: no rounding
        QTest::addColumn<double>("yf");
        QTest::addColumn<double>("kk");
        QTest::addColumn<double>("net");
        QTest::newRow("two decimals, half away") << QList<double>{1.005, 2.004} << QList<double>{0.5} << 2 << 3.01
                                                 << 0.5 << 2.51;
        QTest::newRow("whole, from the rounded totals") << QList<double>{2.5} << QList<double>{1.5} << 0 << 3.0 << 2.0
                                                        << 1.0;
        QTest::newRow("negative rounds away from zero") << QList<double>{-2.5} << QList<double>{} << 0 << -3.0 << 0.0
                                                        << -3.0;
        QTest::newRow("no rounding") << QList<double>{1.25, 0.001} << QList<double>{0.5} << -1 << 1.251 << 0.5 << 0.751;
        QTest::newRow("nothing") << QList<double>{} << QList<double>{} << 2 << 0.0 << 0.0 << 0.0;
    }
    void totals()
    {
        QFETCH(QList<double>, earnings);
        QFETCH(QList<double>, deductions);
        QFETCH(int, decimals);
        QFETCH(double, yf);
        QFETCH(double, kk);
        QFETCH(double, net);
        const paysheet::RowTotals t = paysheet::ComputeRowTotals(
            {earnings.begin(), earnings.end()}, {deductions.begin(), deductions.end()},
            decimals < 0 ? std::nullopt : std::optional<int>(decimals));
        QCOMPARE(t.earnings, yf);
        QCOMPARE(t.deductions, kk);
        QCOMPARE(t.net, net);
    }
};

class TestSheetOrder : public QObject {
    Q_OBJECT
private slots:
    void pinyinOrder_data()
    {
        QTest::addColumn<QStringList>("names"); // in the order stored
        QTest::addColumn<QStringList>("ordered");
        QTest::newRow("surnames") << QStringList{"张三", "李四", "王五", "赵六", "陈七"}
                                  << QStringList{"陈七", "李四", "王五", "张三", "赵六"};
        QTest::newRow("letters first, case ignored") << QStringList{"周", "bob", "Alice", "安"}
                                                     << QStringList{"Alice", "bob", "安", "周"};
        QTest::newRow("same first character") << QStringList{"王芳", "王伟", "王磊"}
                                              << QStringList{"王芳", "王磊", "王伟"};
    }
    void pinyinOrder()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, ordered);
        Session s;
        for (const QString& n : names)
            s.addRow(QStringLiteral("202612"), QStringLiteral("技术部"), n);
        db::RecordSet rs(s.dm.ADOLocal);
        paysheet::OpenSheetRows(rs, QStringLiteral("202612"));
        auto shownNames = [&rs] {
            QStringList out;
            for (rs.first(); !rs.eof(); rs.next())
                out << rs.fieldByName(QStringLiteral("EmpName")).asString();
            return out;
        };
        QCOMPARE(shownNames(), ordered);
        // A title click sorts in memory in the same order.
        rs.sort(QStringLiteral("EmpName"), false);
        QStringList reversed = ordered;
        std::reverse(reversed.begin(), reversed.end());
        QCOMPARE(shownNames(), reversed);
        rs.sort(QStringLiteral("EmpName"), true);
        QCOMPARE(shownNames(), ordered);
    }

    void departmentsBeforeNames()
    {
        Session s;
        s.addRow(QStringLiteral("202612"), QStringLiteral("技术部"), QStringLiteral("安"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("周"));
        db::RecordSet rs(s.dm.ADOLocal);
        paysheet::OpenSheetRows(rs, QStringLiteral("202612"));
        QCOMPARE(rs.fieldByName(QStringLiteral("DepartName")).asString(), QStringLiteral("财务部")); // cai, ji
    }
};

SLIP_TEST_MAIN(TestShownSheet, TestRowTotals, TestSheetOrder)

#include "tst_paysheet.moc"
