#pragma once
#include "platform/db/Connection.h"
#include "platform/db/DisplayFormat.h"
#include "platform/db/JetSql.h"

#include <QTest>

class TestDisplayFormat : public QObject {
    Q_OBJECT
private slots:
    void numberPictures_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half up on the decimal value") << 2.675 << "0.00" << "2.68";
        QTest::newRow("0.125") << 0.125 << "0.00" << "0.13";
        QTest::newRow("1.005") << 1.005 << "0.00" << "1.01";
        QTest::newRow("1.115, binary just below the half") << 1.115 << "0.00" << "1.12";
        QTest::newRow("8.345 negative") << -8.345 << "0.00" << "-8.35";
        QTest::newRow("clearly below the half") << 4000.2449 << "0.00" << "4000.24";
        QTest::newRow("near a whole from below") << 2.9999999999999996 << "0.00" << "3.00";
        QTest::newRow("negative half away") << -0.5 << "0" << "-1";
        QTest::newRow("positive half") << 0.5 << "0" << "1";
        QTest::newRow("-2.5 away") << -2.5 << "0" << "-3";
        QTest::newRow("carry into a new digit") << 9.995 << "0.00" << "10.00";
        QTest::newRow("99.5 whole") << 99.5 << "0" << "100";
        QTest::newRow("no minus zero") << -0.004 << "0.00" << "0.00";
        QTest::newRow("zero with decimals") << 0.0 << "0.00" << "0.00";
        QTest::newRow("zero whole") << 0.0 << "0" << "0";
        QTest::newRow("tiny") << 1e-7 << "0.00" << "0.00";
        QTest::newRow("A4 height") << 296.78 << "0.00" << "296.78";
        QTest::newRow("count suffix") << 12.0 << "0条" << "12条";
        QTest::newRow("thousands") << 1234567.891 << "#,##0.00" << "1,234,567.89";
        QTest::newRow("optional decimals") << 2.5 << "0.##" << "2.5";
        QTest::newRow("large amount") << 12345678.125 << "0.00" << "12345678.13";
        QTest::newRow("empty picture is general") << 3.0 << "" << "3";
    }
    void numberPictures()
    {
        QFETCH(double, value);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QCOMPARE(db::formatFloat(value, format), expected);
    }

    void roundHalfAway_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.675") << 2.675 << 2 << 2.68;
        QTest::newRow("-2.675") << -2.675 << 2 << -2.68;
        QTest::newRow("whole") << 1499.5 << 0 << 1500.0;
        QTest::newRow("unchanged") << 300.0 << 2 << 300.0;
    }
    void roundHalfAway()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(double, expected);
        QCOMPARE(db::roundHalfAway(value, decimals), expected);
    }

    void generalText_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("height") << 296.78 << "296.78";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("minus zero") << -0.0 << "0";
        QTest::newRow("integer") << 3.0 << "3";
        QTest::newRow("binary noise hidden") << 0.1 + 0.2 << "0.3";
        QTest::newRow("15 digits") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("negative") << -1500.25 << "-1500.25";
    }
    void generalText()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(db::generalNumberText(value), expected);
    }

    void dateTimes_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        QTest::newRow("log time") << "yy-MM-dd hh:nn" << "26-03-04 09:05";
        QTest::newRow("mm after hour is minutes") << "yyyy-mm-dd hh:mm:ss" << "2026-03-04 09:05:07";
        QTest::newRow("short parts") << "d/m/yyyy h:n" << "4/3/2026 9:5";
    }
    void dateTimes()
    {
        QFETCH(QString, format);
        QFETCH(QString, expected);
        const QDateTime t(QDate(2026, 3, 4), QTime(9, 5, 7));
        QCOMPARE(db::formatDateTime(t, format), expected);
    }

    void dialect_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("top 1") << "Select Top 1 * from TPara" << "Select * from TPara LIMIT 1";
        QTest::newRow("distinct top") << "select distinct top 5 EmpName from TGZ order by EmpName"
                                      << "select distinct EmpName from TGZ order by EmpName LIMIT 5";
        QTest::newRow("plain") << "select * from  TGZMonth Order by ID Desc" << "select * from  TGZMonth Order by ID Desc";
        QTest::newRow("top inside a value is not touched") << "select * from T where A='Top 3 '"
                                                           << "select * from T where A='Top 3 '";
    }
    void dialect()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        QCOMPARE(db::translateJetSql(sql), expected);
    }

    void tableOfStatement_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("table");
        QTest::newRow("two blanks") << "select * from  TGZMonth Order by ID Desc" << "TGZMonth";
        QTest::newRow("brackets") << "Select [BillHeight] from [TPara]" << "TPara";
        QTest::newRow("where") << "Select * from TGZ where ID=-1" << "TGZ";
        QTest::newRow("no from") << "select 1" << "";
    }
    void tableOfStatement()
    {
        QFETCH(QString, sql);
        QFETCH(QString, table);
        QCOMPARE(db::tableOfStatement(sql), table);
    }

    void connectionString()
    {
        const auto cs = db::ConnectionString::parse(QStringLiteral(
            "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/opt/工资/DB/ZYDB.dat;Persist Security Info=False;"
            "Jet OLEDB:Database Password=mqtv31905726"));
        QCOMPARE(cs.dataSource, QStringLiteral("/opt/工资/DB/ZYDB.dat"));
        QCOMPARE(cs.password, QStringLiteral("mqtv31905726"));
        const auto lower = db::ConnectionString::parse(QStringLiteral("data source = x.dat ; jet oledb:database password=p"));
        QCOMPARE(lower.dataSource, QStringLiteral("x.dat"));
        QCOMPARE(lower.password, QStringLiteral("p"));
    }
};

