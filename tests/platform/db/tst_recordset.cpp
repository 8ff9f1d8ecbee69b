#include "tests/platform/db/tst_displayformat.h"

#include "tests/support/TestMain.h"

#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using db::DbError;
using db::LockType;
using db::RecordSet;

namespace {

const QString kPassword = QStringLiteral("secret-1");
const QString kTables = QStringLiteral(
    "CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(10) COLLATE NOCASE "
    "CHECK (length(Name) <= 10), Amount FLOAT, N INTEGER, At DATETIME);"
    "CREATE TABLE P (A VARCHAR(20), B FLOAT);"
    "INSERT INTO T (Name, Amount, N) VALUES ('Bob', 2.675, 3), ('alice', 10, 1), ('Carl', NULL, 2);"
    "INSERT INTO P VALUES ('one', 1.5);");

// A small encrypted database in a temporary folder, opened on demand.
class Fixture {
public:
    Fixture()
    {
        db::Connection::createDatabase(path(), kPassword, kTables);
        conn.open(connectionString());
    }
    QString path() const { return dir.path() + QStringLiteral("/t.dat"); }
    QString connectionString(const QString& password = kPassword) const
    {
        return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False;"
                              "Jet OLEDB:Database Password=%2")
            .arg(path(), password);
    }
    // What another program sees now.
    QStringList namesSeenElsewhere() const
    {
        db::Connection other;
        other.open(connectionString());
        RecordSet rs(other);
        rs.setSql(QStringLiteral("select Name from T order by ID"));
        rs.open();
        QStringList names;
        for (; !rs.eof(); rs.next())
            names << rs.field(0).asString();
        return names;
    }

    QTemporaryDir dir;
    db::Connection conn;
};

QStringList column(RecordSet& rs, const QString& field)
{
    QStringList out;
    for (int r = 0; r < rs.recordCount(); ++r)
        out << rs.displayTextAt(r, rs.fieldIndex(field));
    return out;
}

} // namespace

class TestRecordSet : public QObject {
    Q_OBJECT
private slots:
    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("wrong password") << "password";
        QTest::newRow("no password on an encrypted file") << "nopassword";
        QTest::newRow("text file") << "text";
        QTest::newRow("empty file") << "empty";
    }
    void refusedFiles()
    {
        QFETCH(QString, kind);
        Fixture f;
        f.conn.close();
        QString cs = f.connectionString();
        const QString other = f.dir.path() + QStringLiteral("/other.dat");
        if (kind == QLatin1String("missing")) {
            cs = QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=x").arg(other);
        } else if (kind == QLatin1String("password")) {
            cs = f.connectionString(QStringLiteral("wrong"));
        } else if (kind == QLatin1String("nopassword")) {
            cs = f.connectionString(QString());
        } else {
            QFile t(other);
            QVERIFY(t.open(QIODevice::WriteOnly));
            if (kind == QLatin1String("text"))
                t.write(QByteArray("this is not a database, just some text\n").repeated(200));
            t.close();
            cs = QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=x").arg(other);
        }
        const QByteArray before = QFile::exists(other) ? [&] { QFile r(other); r.open(QIODevice::ReadOnly); return r.readAll(); }() : QByteArray();
        db::Connection c;
        QVERIFY_THROWS_EXCEPTION(DbError, c.open(cs));
        QVERIFY(!c.isConnected());
        if (kind == QLatin1String("missing"))
            QVERIFY(!QFile::exists(other)); // never an empty database in its place
        else if (QFile::exists(other)) {
            QFile r(other);
            QVERIFY(r.open(QIODevice::ReadOnly));
            QCOMPARE(r.readAll(), before);
        }
    }

    void fileIsEncrypted()
    {
        Fixture f;
        QFile file(f.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.read(16).startsWith("SQLite format 3"));
    }

    void optimisticPostWritesAtOnce()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T where Name=?"), {QStringLiteral("bob")});
        rs.open();
        QCOMPARE(rs.recordCount(), 1);
        rs.edit();
        rs.fieldByName(QStringLiteral("name")).setValue(QStringLiteral("Bobby"));
        rs.post();
        QCOMPARE(f.namesSeenElsewhere(), (QStringList{"Bobby", "alice", "Carl"}));
    }

    void batchWaitsForUpdateBatch()
    {
        Fixture f;
        {
            RecordSet rs(f.conn);
            rs.setLockType(LockType::BatchOptimistic);
            rs.setSql(QStringLiteral("select * from T where ID=-1"));
            rs.open();
            rs.append();
            rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("Dora"));
            rs.post();
            QVERIFY(rs.hasPendingChanges());
            QCOMPARE(f.namesSeenElsewhere().size(), 3);
            rs.updateBatch();
            QVERIFY(!rs.hasPendingChanges());
            QCOMPARE(f.namesSeenElsewhere().last(), QStringLiteral("Dora"));
            // The auto-number is read back into the row.
            QVERIFY(rs.fieldByName(QStringLiteral("ID")).asInteger() > 3);
            rs.edit();
            rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("Dorothy"));
            rs.post();
        } // closed without a batch update: the edit is discarded
        QCOMPARE(f.namesSeenElsewhere().last(), QStringLiteral("Dora"));
    }

    void failedBatchWritesNothing()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setLockType(LockType::BatchOptimistic);
        rs.setSql(QStringLiteral("select * from T"));
        rs.open();
        rs.deleteRow(); // Bob
        rs.append();
        rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("Eve"));
        rs.post();
        rs.append();
        rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("far too long a name"));
        rs.post();
        QVERIFY_THROWS_EXCEPTION(DbError, rs.updateBatch());
        QCOMPARE(f.namesSeenElsewhere(), (QStringList{"Bob", "alice", "Carl"}));
        QVERIFY(rs.hasPendingChanges());
        // Mending the bad row lets the same batch through.
        rs.last();
        rs.edit();
        rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("Finn"));
        rs.post();
        rs.updateBatch();
        QCOMPARE(f.namesSeenElsewhere(), (QStringList{"alice", "Carl", "Eve", "Finn"}));
    }

    void autoNumbersAreNeverReused()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        rs.last();
        const qint64 highest = rs.fieldByName(QStringLiteral("ID")).asInteger();
        rs.deleteRow();
        rs.append();
        rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("New"));
        rs.post();
        QCOMPARE(rs.fieldByName(QStringLiteral("ID")).asInteger(), highest + 1);
    }

    void cancelAndCancelBatch()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setLockType(LockType::BatchOptimistic);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        rs.edit();
        rs.fieldByName(QStringLiteral("Amount")).setValue(99.0);
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).asFloat(), 99.0);
        rs.cancel();
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).asFloat(), 2.675);
        rs.edit();
        rs.fieldByName(QStringLiteral("Amount")).setValue(50.0);
        rs.post();
        rs.next();
        rs.deleteRow();
        rs.append();
        rs.fieldByName(QStringLiteral("Name")).setValue(QStringLiteral("Gus"));
        rs.post();
        rs.cancelBatch();
        QCOMPARE(column(rs, QStringLiteral("Name")), (QStringList{"Bob", "alice", "Carl"}));
        rs.first();
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).asFloat(), 2.675);
        QVERIFY(!rs.hasPendingChanges());
    }

    void locate_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("caseInsensitive");
        QTest::addColumn<int>("recNo");
        QTest::newRow("exact") << "Name" << QVariant(QStringLiteral("alice")) << false << 2;
        QTest::newRow("other case, insensitive") << "Name" << QVariant(QStringLiteral("ALICE")) << true << 2;
        QTest::newRow("other case, sensitive") << "Name" << QVariant(QStringLiteral("ALICE")) << false << 0;
        QTest::newRow("number") << "N" << QVariant(2) << false << 3;
        QTest::newRow("null") << "Amount" << QVariant() << false << 3;
        QTest::newRow("missing") << "Name" << QVariant(QStringLiteral("Zed")) << true << 0;
    }
    void locate()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(bool, caseInsensitive);
        QFETCH(int, recNo);
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        rs.setRecNo(1);
        QCOMPARE(rs.locate(field, value, caseInsensitive), recNo != 0);
        QCOMPARE(rs.recNo(), recNo != 0 ? recNo : 1); // not found: the position stays
    }

    void sortAndCalculatedRowNumbers()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.addCalculatedField(QStringLiteral("SortIdx"), db::FieldType::Integer,
                              [](const RecordSet&, int row) { return QVariant(row + 1); });
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        rs.sort(QStringLiteral("Name"), true);
        QCOMPARE(column(rs, QStringLiteral("Name")), (QStringList{"alice", "Bob", "Carl"}));
        QCOMPARE(column(rs, QStringLiteral("SortIdx")), (QStringList{"1", "2", "3"}));
        rs.sort(QStringLiteral("Amount"), true);
        QCOMPARE(column(rs, QStringLiteral("Name")), (QStringList{"Carl", "Bob", "alice"})); // null first
        rs.sort(QStringLiteral("Amount"), false);
        QCOMPARE(column(rs, QStringLiteral("Name")), (QStringList{"alice", "Bob", "Carl"}));
        QCOMPARE(column(rs, QStringLiteral("SortIdx")), (QStringList{"1", "2", "3"}));
        rs.first();
        QCOMPARE(rs.fieldByName(QStringLiteral("sortidx")).asInteger(), 1);
    }

    void valuesAndNullRules()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T where Name='Carl'"));
        rs.open();
        QCOMPARE(rs.fieldCount(), 5);
        QCOMPARE(rs.fieldByName(QStringLiteral("AMOUNT")).asString(), QString());
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).asFloat(), 0.0);
        QCOMPARE(rs.fieldByName(QStringLiteral("At")).asInteger(), 0);
        QCOMPARE(rs.field(3).asInteger(), 2);
        QCOMPARE(rs.fieldType(2), db::FieldType::Float);
        QCOMPARE(rs.fieldType(4), db::FieldType::DateTime);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.fieldByName(QStringLiteral("Nope")));
        QVERIFY_THROWS_EXCEPTION(DbError, rs.fieldByName(QStringLiteral("Amount")).setValue(1.0)); // not editing
        rs.edit();
        QVERIFY_THROWS_EXCEPTION(DbError, rs.fieldByName(QStringLiteral("Amount")).setAsString(QStringLiteral("1-2")));
        rs.fieldByName(QStringLiteral("Amount")).setAsString(QStringLiteral("12.5"));
        const QDateTime at(QDate(2026, 12, 10), QTime(8, 30, 0));
        rs.fieldByName(QStringLiteral("At")).setValue(at);
        rs.post();
        rs.close();
        rs.open();
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).asFloat(), 12.5);
        QCOMPARE(rs.fieldByName(QStringLiteral("At")).asDateTime(), at);
        rs.setDisplayFormat(QStringLiteral("At"), QStringLiteral("yy-MM-dd hh:nn"));
        QCOMPARE(rs.fieldByName(QStringLiteral("At")).displayText(), QStringLiteral("26-12-10 08:30"));
    }

    void displayFormats()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        QCOMPARE(rs.fieldByName(QStringLiteral("Amount")).displayText(), QStringLiteral("2.675"));
        QSignalSpy resets(&rs, &RecordSet::reset);
        rs.setDisplayFormat(QStringLiteral("Amount"), QStringLiteral("0.00"));
        QCOMPARE(resets.count(), 1); // views repaint
        QCOMPARE(column(rs, QStringLiteral("Amount")), (QStringList{"2.68", "10.00", ""}));
        rs.setDisplayFormat(QStringLiteral("Amount"), QStringLiteral("0"));
        QCOMPARE(column(rs, QStringLiteral("Amount")), (QStringList{"3", "10", ""}));
    }

    void navigation()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select Name from T order by ID"));
        QVERIFY(rs.eof() && rs.isEmpty()); // closed
        rs.open();
        QVERIFY(rs.bof());
        QStringList seen;
        for (rs.first(); !rs.eof(); rs.next())
            seen << rs.field(0).asString();
        QCOMPARE(seen, (QStringList{"Bob", "alice", "Carl"}));
        QCOMPARE(rs.recNo(), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.field(0).asString());
        rs.last();
        QCOMPARE(rs.recNo(), 3);
        rs.prior();
        QCOMPARE(rs.field(0).asString(), QStringLiteral("alice"));
        rs.close();
        rs.setSql(QStringLiteral("select * from T where ID=-1"));
        rs.open();
        QVERIFY(rs.isEmpty() && rs.eof() && rs.bof());
    }

    void snapshotSeesOthersAfterReopen()
    {
        Fixture f;
        RecordSet mine(f.conn);
        mine.setSql(QStringLiteral("select * from T"));
        mine.open();
        db::Connection other;
        other.open(f.connectionString());
        other.execute(QStringLiteral("insert into T (Name) values (?)"), {QStringLiteral("Hal")});
        QCOMPARE(mine.recordCount(), 3);
        mine.close();
        mine.open();
        QCOMPARE(mine.recordCount(), 4);
    }

    void rowWithoutIdIsFoundByItsValues()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("Select Top 1 * from P"));
        rs.open();
        rs.edit();
        rs.fieldByName(QStringLiteral("A")).setValue(QStringLiteral("it's two"));
        rs.post();
        RecordSet check(f.conn);
        check.setSql(QStringLiteral("select A, B from P"));
        check.open();
        QCOMPARE(check.recordCount(), 1);
        QCOMPARE(check.field(0).asString(), QStringLiteral("it's two"));
        QCOMPARE(check.field(1).asFloat(), 1.5);
    }

    void optimisticConflictIsReported()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        f.conn.execute(QStringLiteral("delete from T where Name='Bob'"));
        rs.edit();
        rs.fieldByName(QStringLiteral("N")).setValue(7);
        QVERIFY_THROWS_EXCEPTION(DbError, rs.post());
        QCOMPARE(rs.state(), RecordSet::State::Edit); // the operator's change is not lost
    }

    void deleteSignalsTheShownRow()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setLockType(LockType::BatchOptimistic);
        rs.setSql(QStringLiteral("select * from T order by ID"));
        rs.open();
        QSignalSpy removed(&rs, &RecordSet::rowRemoved);
        rs.setRecNo(2);
        rs.deleteRow();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).toInt(), 1);
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs.fieldByName(QStringLiteral("Name")).asString(), QStringLiteral("Carl"));
        rs.updateBatch();
        QCOMPARE(f.namesSeenElsewhere(), (QStringList{"Bob", "Carl"}));
    }

    void disconnectClosesRecordSets()
    {
        Fixture f;
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select * from T"));
        rs.open();
        f.conn.close();
        QVERIFY(!rs.isOpen());
        QVERIFY_THROWS_EXCEPTION(DbError, rs.open());
        QVERIFY_THROWS_EXCEPTION(DbError, f.conn.execute(QStringLiteral("delete from T")));
    }

    void nestedTransactionRollsBackItsPartOnly()
    {
        Fixture f;
        {
            db::Transaction outer(f.conn);
            f.conn.execute(QStringLiteral("delete from T where Name='Bob'"));
            {
                db::Transaction inner(f.conn);
                f.conn.execute(QStringLiteral("delete from T where Name='Carl'"));
            } // rolled back
            outer.commit();
        }
        QCOMPARE(f.namesSeenElsewhere(), (QStringList{"alice", "Carl"}));
        {
            db::Transaction t(f.conn);
            f.conn.execute(QStringLiteral("delete from T"));
        }
        QCOMPARE(f.namesSeenElsewhere().size(), 2);
        QCOMPARE(f.conn.transactionDepth(), 0);
    }

    void valuesAreBoundNotPasted()
    {
        Fixture f;
        const QString tricky = QStringLiteral("a'b%\"c");
        f.conn.execute(QStringLiteral("insert into T (Name) values (?)"), {tricky});
        RecordSet rs(f.conn);
        rs.setSql(QStringLiteral("select count(*) from T where Name=?"), {tricky});
        rs.open();
        QCOMPARE(rs.field(0).asString(), QStringLiteral("1"));
        QCOMPARE(rs.fieldType(0), db::FieldType::Integer);
    }

    void twoConnectionsWriteWithoutBusyErrors()
    {
        Fixture f;
        db::Connection other;
        other.open(f.connectionString());
        RecordSet reader(other);
        reader.setSql(QStringLiteral("select * from T"));
        reader.open(); // a reader holds nothing: snapshots are copied out
        for (int i = 0; i < 20; ++i) {
            f.conn.execute(QStringLiteral("insert into T (Name) values ('x')"));
            other.execute(QStringLiteral("insert into T (Name) values ('y')"));
        }
        QCOMPARE(f.namesSeenElsewhere().size(), 43);
    }
};

SLIP_TEST_MAIN(TestRecordSet, TestDisplayFormat)

#include "tst_recordset.moc"
