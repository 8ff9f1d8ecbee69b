#include "tests/support/TestMain.h"

#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"

#include <QAbstractItemModelTester>
#include <QFontMetrics>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// A grid over a small table: groups "A|x", "A|y", a one-line "z" and a hidden id.
struct GridFixture {
    GridFixture()
    {
        const QString path = dir.path() + QStringLiteral("/g.dat");
        db::Connection::createDatabase(path, QStringLiteral("k"),
                                       QStringLiteral("create table T (ID integer primary key autoincrement, "
                                                      "Name varchar(10), X float, Y float);"
                                                      "insert into T (Name,X,Y) values ('a',1.5,10),('b',2.25,20),('c',NULL,30);"));
        conn.open(QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=k").arg(path));
        rs.setLockType(db::LockType::BatchOptimistic);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        grid::Column id(QStringLiteral("ID"), QString());
        id.visible = false;
        grid::Column name(QStringLiteral("Name"), QStringLiteral("名字"));
        name.footer = grid::FooterKind::Count;
        name.footerFormat = QStringLiteral("0条");
        grid::Column x(QStringLiteral("X"), QStringLiteral("A|x"));
        x.displayFormat = QStringLiteral("0.00");
        x.footer = grid::FooterKind::Sum;
        x.footerFormat = QStringLiteral("0.00");
        grid::Column y(QStringLiteral("Y"), QStringLiteral("A|y"));
        y.footer = grid::FooterKind::Sum;
        grid::Column label(QStringLiteral("Name"), QStringLiteral("z"));
        label.footer = grid::FooterKind::Text;
        label.footerText = QStringLiteral("合计");
        g.setColumns({id, name, x, y, label});
        g.setRecordSet(&rs);
        g.resize(600, 300);
    }
    QTemporaryDir dir;
    db::Connection conn;
    db::RecordSet rs{conn};
    grid::DBGrid g;
};

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void numbersAreNeverCut_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("footer");
        QTest::newRow("three rows of 400,000.00") << 400000.0 << "400000.00" << "1200000.00";
        QTest::newRow("a large negative correction") << -12345678.5 << "-12345678.50" << "-37037035.50";
    }
    void numbersAreNeverCut()
    {
        QFETCH(double, value);
        QFETCH(QString, cell);
        QFETCH(QString, footer);
        GridFixture f;
        f.conn.execute(QStringLiteral("update T set X=?"), {value});
        f.rs.close();
        f.rs.open();
        QCOMPARE(f.g.cellText(0, 2), cell);
        QCOMPARE(f.g.footerText(2), footer);
        // Cell and footer texts keep 3 pixels on each side inside the column.
        const int need = std::max(f.g.view()->fontMetrics().horizontalAdvance(footer),
                                  f.g.footer()->fontMetrics().horizontalAdvance(footer)) + 6;
        QVERIFY2(f.g.columnWidth(2) >= need, qPrintable(QString::number(f.g.columnWidth(2))));
        // A column the operator widened keeps its width while rows change.
        f.g.header()->resizeSection(2, need + 80);
        f.rs.close();
        f.rs.open();
        QCOMPARE(f.g.columnWidth(2), need + 80);
        // A narrower text column is left as designed.
        QCOMPARE(f.g.columnWidth(1), f.g.column(1).width);
    }

    void cellsAndColumns()
    {
        GridFixture f;
        QAbstractItemModelTester tester(&f.g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(f.g.rowCount(), 3);
        QCOMPARE(f.g.cellText(0, 2), QStringLiteral("1.50"));
        QCOMPARE(f.g.cellText(2, 2), QString()); // null stays empty
        QCOMPARE(f.g.cellText(1, 3), QStringLiteral("20"));
        QCOMPARE(f.g.column(2).group(), QStringLiteral("A"));
        QCOMPARE(f.g.column(2).caption(), QStringLiteral("x"));
        QCOMPARE(f.g.column(4).group(), QString());
        QVERIFY(f.g.view()->isColumnHidden(0));
        f.g.setColumnVisible(3, false);
        QVERIFY(f.g.view()->isColumnHidden(3));
        f.g.setColumnVisible(3, true);
        QCOMPARE(f.g.columnWidth(3), f.g.column(3).width);
        f.g.setColumnFormat(3, QStringLiteral("0.0"));
        QCOMPARE(f.g.cellText(1, 3), QStringLiteral("20.0"));
        QCOMPARE(f.g.model().data(f.g.model().index(0, 2), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignLeft | Qt::AlignVCenter);
    }

    void footerFollowsTheRows()
    {
        GridFixture f;
        QAbstractItemModelTester tester(&f.g.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(f.g.footerText(1), QStringLiteral("3条"));
        QCOMPARE(f.g.footerText(2), QStringLiteral("3.75"));
        QCOMPARE(f.g.footerText(3), QStringLiteral("60"));
        QCOMPARE(f.g.footerText(4), QStringLiteral("合计"));
        QCOMPARE(f.g.footerText(0), QString());
        f.rs.setRecNo(2);
        f.rs.deleteRow();
        QCOMPARE(f.rs.fieldByName(QStringLiteral("Name")).asString(), QStringLiteral("c"));
        QCOMPARE(f.g.rowCount(), 2);
        QCOMPARE(f.g.footerText(1), QStringLiteral("2条"));
        QCOMPARE(f.g.footerText(2), QStringLiteral("1.50"));
        f.g.setFooterFormat(2, QStringLiteral("0"));
        QCOMPARE(f.g.footerText(2), QStringLiteral("2"));
        f.rs.edit();
        f.rs.fieldByName(QStringLiteral("Y")).setValue(5.0);
        f.rs.post();
        QCOMPARE(f.g.footerText(3), QStringLiteral("15"));
        f.rs.append();
        f.rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("d"));
        f.rs.fieldByName(QStringLiteral("X")).setValue(4.0);
        f.rs.post();
        QCOMPARE(f.g.rowCount(), 3);
        QCOMPARE(f.g.footerText(1), QStringLiteral("3条"));
        f.rs.close();
        QCOMPARE(f.g.rowCount(), 0);
        QCOMPARE(f.g.footerText(1), QStringLiteral("0条"));
        QCOMPARE(f.g.footerText(2), QStringLiteral("0"));
    }

    void currentRowFollowsBothWays()
    {
        GridFixture f;
        f.rs.setRecNo(3);
        QCOMPARE(f.g.view()->currentIndex().row(), 2);
        f.g.view()->setCurrentIndex(f.g.model().index(1, 1));
        QCOMPARE(f.rs.recNo(), 2);
        f.rs.sort(QStringLiteral("Y"), false); // the same row stays current
        QCOMPARE(f.rs.fieldByName(QStringLiteral("Name")).asString(), QStringLiteral("b"));
        QCOMPARE(f.g.view()->currentIndex().row(), f.rs.recNo() - 1);
    }

    void keyAndMouseSignals()
    {
        GridFixture f;
        f.g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.g));
        QSignalSpy enter(&f.g, &grid::DBGrid::enterPressed);
        QSignalSpy dbl(&f.g, &grid::DBGrid::rowDoubleClicked);
        QSignalSpy title(&f.g, &grid::DBGrid::titleClicked);
        f.g.view()->setFocus();
        QTest::keyClick(f.g.view(), Qt::Key_Return);
        QCOMPARE(enter.count(), 1);
        const QRect cell = f.g.view()->visualRect(f.g.model().index(1, 1));
        QTest::mouseClick(f.g.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(f.g.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(dbl.count(), 1);
        const QPoint below(5, f.g.view()->viewport()->height() - 3);
        QTest::mouseClick(f.g.view()->viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(f.g.view()->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(dbl.count(), 1); // below the rows: no row
        const int x = f.g.header()->sectionViewportPosition(3) + 5;
        QTest::mouseClick(f.g.header()->viewport(), Qt::LeftButton, {}, QPoint(x, f.g.header()->height() - 5));
        QCOMPARE(title.count(), 1);
        QCOMPARE(title.at(0).at(0).toInt(), 3);
        QVERIFY(f.g.header()->sizeHint().height() >= 2 * f.g.fontMetrics().height());
    }
};

SLIP_TEST_MAIN(TestGrid)

#include "tst_grid.moc"
