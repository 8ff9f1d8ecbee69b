#include "tests/support/ProgramFolder.h"
#include "tests/support/TestMain.h"

#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/db/Connection.h"
#include "TestPaths.h"

#include <QFile>

class TestDM : public QObject {
    Q_OBJECT
private slots:
    void deliveredFileIsEncrypted()
    {
        ProgramFolder folder;
        QFile f(folder.databaseFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(16);
        QCOMPARE(head.size(), 16);
        QVERIFY(!head.startsWith("SQLite format 3"));
    }

    void deliveredContents()
    {
        ProgramFolder folder;
        TDM dm;
        QVERIFY(folder.connect(dm));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TPara")), QStringLiteral("1"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select LogPass from TPara")), QStringLiteral("580"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select PrintDays from TPara")), QStringLiteral("0"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select ShowFloat from TPara")), QStringLiteral("0"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("Select [BillHeight] from TPara")), QStringLiteral("296.78"));
        QVERIFY(!dm.GetDataBySQL(QStringLiteral("select EntName from TPara")).isEmpty());
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select length(ClientVer) from TPara")), QStringLiteral("10"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TGZMonth")), QStringLiteral("0"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TGZ")), QStringLiteral("0"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TGZSet where GZMonth<>'BASE'")), QStringLiteral("0"));

        QStringList items;
        dm.GetDataBySQLToItems(QStringLiteral("select GZField1 || '/' || GZType || '/' || SortIdx from TGZSet order by ID"),
                               items, true);
        QStringList expected;
        for (int n = 1; n <= 10; ++n)
            expected << QStringLiteral("GZ%1/0/%1").arg(n);
        for (int n = 1; n <= 5; ++n)
            expected << QStringLiteral("KK%1/1/%1").arg(n);
        QCOMPARE(items, expected);
        dm.GetDataBySQLToItems(QStringLiteral("select GZName from TGZSet where GZType=1 order by SortIdx"), items, true);
        QCOMPARE(items, (QStringList{"养老保险", "医疗保险", "失业保险", "住房公积金", "个人所得税"}));
        dm.GetDataBySQLToItems(QStringLiteral("select GZName from TGZSet where GZType=0 order by SortIdx"), items, true);
        QCOMPARE(items.mid(0, 4), (QStringList{"基本工资", "岗位工资", "绩效工资", "加班费"}));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TGZSet where ShowStu=0 and GZType=0")),
                 QStringLiteral("7"));
    }

    void getDataBySQL_data()
    {
        QTest::addColumn<QString>("prepare");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("null value") << "update TPara set PrintDays=NULL" << "Select PrintDays from TPara" << "";
        QTest::newRow("count without rows") << "" << "Select Count(*) from TGZSet where GZMonth='202612'" << "0";
        QTest::newRow("no rows") << "" << "Select GZName from TGZSet where GZMonth='nope'" << "";
        QTest::newRow("unknown column") << "" << "Select NoSuch from TPara" << "";
        QTest::newRow("month name letter case") << "" << "Select Count(*) from TGZSet where GZMonth='base'" << "15";
        QTest::newRow("field letter case") << "" << "Select Count(*) from TGZSet where GZField1='gz3'" << "1";
        QTest::newRow("top 1") << "" << "Select Top 1 GZName from TGZSet order by ID desc" << "个人所得税";
        QTest::newRow("whole float") << "update TPara set BillHeight=43" << "Select BillHeight from TPara" << "43";
    }
    void getDataBySQL()
    {
        QFETCH(QString, prepare);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        ProgramFolder folder;
        TDM dm;
        QVERIFY(folder.connect(dm));
        if (!prepare.isEmpty())
            dm.ADOLocal.execute(prepare);
        QCOMPARE(dm.GetDataBySQL(sql), expected);
        // The shared record set is usable again at once.
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TPara")), QStringLiteral("1"));
    }

    void getDataBySQLToItems()
    {
        ProgramFolder folder;
        TDM dm;
        QVERIFY(folder.connect(dm));
        for (const char* dep : {"财务部", "", "销售部", "财务部"})
            dm.ADOLocal.execute(QStringLiteral("insert into TGZ (GZMonth, DepartName, EmpName) values ('202612', ?, 'x')"),
                                {QString::fromUtf8(dep)});
        dm.ADOLocal.execute(QStringLiteral("insert into TGZ (GZMonth, EmpName) values ('202612', 'y')")); // null
        QStringList items{QStringLiteral("old")};
        const QString sql = QStringLiteral("Select DepartName from TGZ where GZMonth='202612' order by ID");
        dm.GetDataBySQLToItems(sql, items, false);
        QCOMPARE(items, (QStringList{"old", "财务部", "销售部", "财务部"}));
        dm.GetDataBySQLToItems(QStringLiteral("Select Distinct DepartName from TGZ order by DepartName"), items, true);
        QCOMPARE(items.size(), 2);
        // A failing query leaves the list as it was, even when asked to clear it.
        dm.GetDataBySQLToItems(QStringLiteral("Select NoSuch from TGZ"), items, true);
        QCOMPARE(items.size(), 2);
        dm.ADOLocal.close();
        dm.GetDataBySQLToItems(sql, items, true);
        QCOMPARE(items.size(), 2);
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TPara")), QString());
    }

    void connectFailures_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::newRow("missing file") << QByteArray();
        QTest::newRow("not a database") << QByteArray("PK\x03\x04 some zip bytes").repeated(100);
    }
    void connectFailures()
    {
        QFETCH(QByteArray, content);
        ProgramFolder folder;
        QFile::remove(folder.databaseFile());
        if (!content.isEmpty())
            folder.writeFile(schema::kDatabaseFile, content);
        TDM dm;
        QVERIFY(!folder.connect(dm));
        QVERIFY(!dm.ConnectError().isEmpty());
        QVERIFY(!dm.ADOLocal.isConnected());
        QCOMPARE(QFile::exists(folder.databaseFile()), !content.isEmpty()); // nothing created
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TPara")), QString());
    }

    void anotherProgramsDatabaseIsRefused()
    {
        ProgramFolder folder;
        QFile::remove(folder.databaseFile());
        db::Connection::createDatabase(folder.databaseFile(), schema::kDatabasePassword,
                                       QStringLiteral("create table Other (A int);"));
        TDM dm;
        QVERIFY(!folder.connect(dm));
    }

    void textLengthsAreEnforced_data()
    {
        // Lengths count GBK bytes: a Chinese character 2, a Latin letter 1.
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("stored");
        const QString zh = QString(QChar(0x5DE5)), en = "a";
        const QString month = "insert into TGZMonth (GZMonth) values (?)", position = "insert into TGZ (ZWName) values (?)";
        QTest::newRow("month name 25 Chinese") << month << zh.repeated(25) << true;
        QTest::newRow("month name 26 Chinese") << month << zh.repeated(26) << false;
        QTest::newRow("month name 50 Latin") << month << en.repeated(50) << true;
        QTest::newRow("month name 51 Latin") << month << en.repeated(51) << false;
        QTest::newRow("position 10 Chinese") << position << zh.repeated(10) << true;
        QTest::newRow("position 11 Chinese") << position << zh.repeated(11) << false;
        QTest::newRow("position 20 Latin") << position << en.repeated(20) << true;
        QTest::newRow("position 21 Latin") << position << en.repeated(21) << false;
        QTest::newRow("position updated to 11 Chinese") << "update TGZ set ZWName=? where ID=1" << zh.repeated(11)
                                                        << false;
        QTest::newRow("remark 5 Chinese") << "insert into TGZ (QM) values (?)" << zh.repeated(5) << true;
        QTest::newRow("remark 6 Chinese") << "insert into TGZ (QM) values (?)" << zh.repeated(6) << false;
        QTest::newRow("e-mail 21") << "insert into TGZ (EMail) values (?)" << en.repeated(21) << false;
        QTest::newRow("company name 51 Chinese") << "update TPara set EntName=?" << zh.repeated(51) << false;
        QTest::newRow("item caption 25 Chinese") << "update TGZSet set GZName=? where ID=1" << zh.repeated(25) << true;
    }
    void textLengthsAreEnforced()
    {
        QFETCH(QString, sql);
        QFETCH(QString, value);
        QFETCH(bool, stored);
        ProgramFolder folder;
        TDM dm;
        QVERIFY(folder.connect(dm));
        dm.ADOLocal.execute(QStringLiteral("insert into TGZ (ID, ZWName) values (1, '职员')"));
        bool ok = true;
        try {
            dm.ADOLocal.execute(sql, {value});
        } catch (const db::DbError&) {
            ok = false;
        }
        QCOMPARE(ok, stored);
    }

    void secondConnectionSeesCommittedRows()
    {
        ProgramFolder folder;
        TDM one, two;
        QVERIFY(folder.connect(one));
        QVERIFY(folder.connect(two));
        db::RecordSet months(two.ADOLocal);
        months.setSql(QStringLiteral("select * from  TGZMonth Order by ID Desc"));
        months.open();
        QCOMPARE(months.recordCount(), 0);
        one.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values ('202612')"));
        QCOMPARE(months.recordCount(), 0); // a snapshot
        months.close();
        months.open();
        QCOMPARE(months.recordCount(), 1);
    }
};

// The schema version recorded in the file, and the upgrade at open.
class TestSchemaVersion : public QObject {
    Q_OBJECT
private slots:
    void deliveredFileCarriesTheCurrentVersion()
    {
        ProgramFolder folder;
        TDM dm;
        QVERIFY(folder.connect(dm));
        QCOMPARE(dm.ADOLocal.schemaVersion(), schema::kSchemaVersion);
    }

    void fileOfTheFirstDeliveryIsUpgradedOnce()
    {
        ProgramFolder folder;
        QFile::remove(folder.databaseFile());
        QVERIFY(QFile::copy(QStringLiteral(SLIP_SOURCE_DIR "/tests/data/fixtures/ZYDB-1.3-delivered.dat"),
                            folder.databaseFile()));
        QFile(folder.databaseFile()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        TDM dm;
        QVERIFY(folder.connect(dm));
        QCOMPARE(dm.ADOLocal.schemaVersion(), schema::kSchemaVersion);
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select count(*) from TGZSet where GZMonth='BASE'")), QStringLiteral("15"));
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select LogPass from TPara")), QStringLiteral("580"));
        dm.ADOLocal.close();
        QVERIFY(folder.connect(dm)); // a second open finds nothing to do
        QCOMPARE(dm.ADOLocal.schemaVersion(), schema::kSchemaVersion);
    }

    void upgradeKeepsRowsIdsAndLongValues()
    {
        ProgramFolder folder;
        QFile::remove(folder.databaseFile());
        QVERIFY(QFile::copy(QStringLiteral(SLIP_SOURCE_DIR "/tests/data/fixtures/ZYDB-1.3-delivered.dat"),
                            folder.databaseFile()));
        QFile(folder.databaseFile()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const QString longPosition(15, QChar(0x5DE5)); // 30 GBK bytes: fitted the old character limit
        {
            db::Connection old; // as the first program wrote the file: no upgrade
            old.open(schema::ConnectionStringFor(folder.path()));
            QCOMPARE(old.schemaVersion(), 0);
            old.execute(QStringLiteral("insert into TGZ (ID,GZMonth,DepartName,EmpName,ZWName,GZ1) values "
                                       "(7,'202612','技术部','张三',?,100),(9,'202612','财务部','李四','职员',200)"),
                        {longPosition});
            old.execute(QStringLiteral("delete from TGZ where ID=9")); // the counter stays at 9
        }
        TDM dm;
        QVERIFY(folder.connect(dm));
        QCOMPARE(dm.ADOLocal.schemaVersion(), schema::kSchemaVersion);
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select ZWName from TGZ where ID=7")), longPosition);
        QCOMPARE(dm.GetDataBySQL(QStringLiteral("select GZ1 from TGZ where ID=7")), QStringLiteral("100"));
        // Another column of the row can still be written; the long position is kept.
        dm.ADOLocal.execute(QStringLiteral("update TGZ set GZMonth='202701' where ID=7"));
        dm.ADOLocal.execute(QStringLiteral("insert into TGZ (GZMonth) values ('202701')"));
        QCOMPARE(dm.ADOLocal.lastInsertId(), 10);
        // The names now order in pinyin and compare without regard to case.
        dm.ADOLocal.execute(QStringLiteral("insert into TGZ (GZMonth,EmpName) values ('x','abc'),('x','ABC'),('x','李四')"));
        QStringList names;
        dm.GetDataBySQLToItems(QStringLiteral("select distinct EmpName from TGZ where GZMonth='x' order by EmpName"), names,
                               true);
        QCOMPARE(names.size(), 2);
        QCOMPARE(names.at(0).toLower(), QStringLiteral("abc"));
        QCOMPARE(names.at(1), QStringLiteral("李四"));
    }

    void newerFileIsRefusedAndLeftAsItIs()
    {
        ProgramFolder folder;
        {
            db::Connection conn;
            conn.open(schema::ConnectionStringFor(folder.path()));
            conn.execute(QStringLiteral("PRAGMA user_version = %1").arg(schema::kSchemaVersion + 1));
            conn.execute(QStringLiteral("PRAGMA journal_mode = DELETE"));
        }
        QFile f(folder.databaseFile());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        TDM dm;
        QVERIFY(!folder.connect(dm));
        QVERIFY(dm.NewerDatabase());
        QVERIFY(!dm.ADOLocal.isConnected());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        QVERIFY(!QFile::exists(folder.databaseFile() + QStringLiteral("-wal")));
        // A damaged file is not taken for a newer one.
        folder.writeFile(schema::kDatabaseFile, QByteArray(4096, 'x'));
        QVERIFY(!folder.connect(dm));
        QVERIFY(!dm.NewerDatabase());
    }
};

SLIP_TEST_MAIN(TestDM, TestSchemaVersion)

#include "tst_dm.moc"
