#include "tests/support/Files.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "maintenance/Archive.h"
#include "maintenance/Backup.h"
#include "maintenance/Clear.h"
#include "maintenance/Restore.h"
#include "maintenance/uReBulid.h"

#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QPushButton>

using maintenance::ZipArchive;

using Entries = QList<QPair<QString, QByteArray>>;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(9, 30, 5));

// Every file below a folder with a hash of its bytes, to prove a folder unchanged.
QStringList fingerprint(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        out << QDir(folder).relativeFilePath(path) + QLatin1Char(' ')
                   + QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1).toHex());
    }
    out.sort();
    return out;
}

QStringList memberNames(const QString& archive)
{
    ZipArchive zip(archive, ZipArchive::Mode::Read);
    QStringList names;
    for (const auto& m : zip.members())
        names << m.name;
    names.sort();
    return names;
}

QByteArray memberBytes(const QString& archive, const QString& name)
{
    ZipArchive zip(archive, ZipArchive::Mode::Read);
    QTemporaryDir dir;
    for (const auto& m : zip.members())
        if (m.name == name) {
            zip.extract(m, dir.filePath(QStringLiteral("x")));
            QFile f(dir.filePath(QStringLiteral("x")));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }
    return {};
}

// Rows of TGZ in the database stored as a member of the archive.
int payRowsIn(const QString& archive)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("ZYDB.dat")));
    f.open(QIODevice::WriteOnly);
    f.write(memberBytes(archive, QStringLiteral("ZYDB.dat")));
    f.close();
    db::Connection conn;
    conn.open(schema::ConnectionStringForFile(f.fileName()));
    db::Statement st(conn, QStringLiteral("select count(*) from TGZ"));
    st.step();
    return st.columnValue(0).toInt();
}

// Makes an archive with Python's zipfile, an outside writer: each entry is
// name -> content, "link:" content makes a symbolic link member.
bool writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& entries)
{
    QString script = QStringLiteral("import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n");
    for (const auto& [name, content] : entries) {
        const QString hex = QString::fromLatin1(content.toHex());
        if (content.startsWith("link:"))
            script += QStringLiteral("i=zipfile.ZipInfo(%1)\ni.create_system=3\ni.external_attr=0o120777<<16\n"
                                     "z.writestr(i,bytes.fromhex('%2'))\n")
                          .arg(QStringLiteral("bytes.fromhex('%1').decode()").arg(QString::fromLatin1(name.toUtf8().toHex())),
                               QString::fromLatin1(content.mid(5).toHex()));
        else
            script += QStringLiteral("z.writestr(bytes.fromhex('%1').decode(),bytes.fromhex('%2'))\n")
                          .arg(QString::fromLatin1(name.toUtf8().toHex()), hex);
    }
    script += QStringLiteral("z.close()\n");
    QProcess py;
    py.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    return py.waitForFinished() && py.exitCode() == 0;
}

} // namespace

class TestMaintenance : public QObject {
    Q_OBJECT
private slots:
    void backupThenRestoreBringsEverythingBack()
    {
        Session s;
        QVERIFY(s.connected);
        s.addMonth(QStringLiteral("202611"));
        s.addRow(QStringLiteral("202611"), QStringLiteral("财务部"), QStringLiteral("张三"), {{"GZ1", 3200.5}});
        s.dm.ADOLocal.execute(QStringLiteral("Update TPara Set LogPass='k1', EntName='某某公司'"));
        s.dm.ADOLocal.execute(QStringLiteral("Update TGZSet Set GZName='岗位津贴' where GZMonth='202611' and GZField1='GZ2'"));
        const QStringList tables{"TGZ", "TGZMonth", "TGZSet", "TPara"};
        QStringList before;
        for (const QString& t : tables)
            before += s.dump(t);
        const QString archive = s.folder.file(QStringLiteral("Bak/20261210.GZBK"));
        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive);
        QCOMPARE(memberNames(archive), QStringList{"ZYDB.dat"});

        s.dm.ADOLocal.execute(QStringLiteral("Delete from TGZ"));
        s.dm.ADOLocal.execute(QStringLiteral("Update TPara Set LogPass='changed'"));
        maintenance::RestoreDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive, kNow);
        QVERIFY(!s.dm.ADOLocal.isConnected());

        QVERIFY(s.folder.connect(s.dm));
        QStringList after;
        for (const QString& t : tables)
            after += s.dump(t);
        QCOMPARE(after, before);
        // What was replaced is kept, and holds the state before the restore.
        const QString kept = s.folder.file(QStringLiteral("Bak/20261210093005-before-restore.GZBK"));
        QVERIFY(QFile::exists(kept));
        QCOMPARE(payRowsIn(kept), 0);
        QVERIFY(QDir(s.folder.path()).entryList({QStringLiteral("restore-*")}, QDir::Dirs).isEmpty());
    }

    void proposedNames()
    {
        QCOMPARE(maintenance::ProposedBackupPath(QStringLiteral("/p/"), QDate(2026, 3, 7)), QStringLiteral("/p/Bak/20260307.GZBK"));
        QCOMPARE(maintenance::BeforeRestorePath(QStringLiteral("/p/"), kNow),
                 QStringLiteral("/p/Bak/20261210093005-before-restore.GZBK"));
    }

    void backupOfTheFilesDirectlyInDb()
    {
        Session s;
        s.folder.writeFile(QStringLiteral("DB/Notes.txt"), "notes");
        s.folder.writeFile(QStringLiteral("DB/ContractFile/合同.doc"), "contract");
        const QString archive = s.folder.file(QStringLiteral("Bak/a.GZBK"));
        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive);
        // The engine's journal beside the open database is no member; sub-folders neither.
        QVERIFY(QFile::exists(s.folder.file(QStringLiteral("DB/ZYDB.dat-wal"))));
        QCOMPARE(memberNames(archive), (QStringList{"Notes.txt", "ZYDB.dat"}));
        // An outside reader agrees the archive is whole, and deflated.
        QProcess py;
        py.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import zipfile,sys\nz=zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n"
                                 "print(','.join(str(i.compress_type) for i in z.infolist()))"),
                  archive});
        QVERIFY(py.waitForFinished());
        QCOMPARE(py.readAllStandardOutput().trimmed(), QByteArray("8,8"));
    }

    void existingArchiveIsBroughtUpToDate()
    {
        Session s;
        const QString archive = s.folder.file(QStringLiteral("Bak/a.GZBK"));
        QVERIFY(writeZip(archive, {{"Old.txt", "kept member"}, {"Notes.txt", "old notes"}, {"Same.txt", "as archived"}}));
        // Same.txt is older than its member, Notes.txt newer, New.txt not yet in it.
        s.folder.writeFile(QStringLiteral("DB/Same.txt"), "changed but older");
        QFile same(s.folder.file(QStringLiteral("DB/Same.txt")));
        same.open(QIODevice::ReadWrite);
        same.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime);
        same.close();
        s.folder.writeFile(QStringLiteral("DB/Notes.txt"), "new notes");
        QFile notes(s.folder.file(QStringLiteral("DB/Notes.txt")));
        notes.open(QIODevice::ReadWrite);
        notes.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
        notes.close();
        s.folder.writeFile(QStringLiteral("DB/New.txt"), "new file");
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("部"), QStringLiteral("李四"));

        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive);
        QCOMPARE(memberNames(archive), (QStringList{"New.txt", "Notes.txt", "Old.txt", "Same.txt", "ZYDB.dat"}));
        QCOMPARE(memberBytes(archive, "Old.txt"), QByteArray("kept member"));
        QCOMPARE(memberBytes(archive, "Notes.txt"), QByteArray("new notes"));
        QCOMPARE(memberBytes(archive, "Same.txt"), QByteArray("as archived"));
        QCOMPARE(memberBytes(archive, "New.txt"), QByteArray("new file"));
        QCOMPARE(payRowsIn(archive), 1);

        // A second backup the same day holds the rows added since.
        s.addRow(QStringLiteral("202612"), QStringLiteral("部"), QStringLiteral("王五"));
        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive);
        QCOMPARE(payRowsIn(archive), 2);
    }

    void backupFailures_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("existing");
        QTest::newRow("folder missing") << "NoSuchFolder/a.GZBK" << QByteArray();
        QTest::newRow("existing file is no archive") << "Bak/text.GZBK" << QByteArray("just some text, not a zip\n");
    }
    void backupFailures()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, existing);
        Session s;
        if (!existing.isEmpty())
            s.folder.writeFile(target, existing);
        QVERIFY_THROWS_EXCEPTION(slip::Error,
                                 maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), s.folder.file(target)));
        if (!existing.isEmpty())
            QCOMPARE(ReadBytes(s.folder.file(target)), existing);
    }

    void backupHoldsRowsCommittedByAnotherConnection_data()
    {
        QTest::addColumn<bool>("otherReading");
        QTest::newRow("the other connection idle") << false;
        QTest::newRow("the other connection reading (journal cannot be emptied)") << true;
    }
    void backupHoldsRowsCommittedByAnotherConnection()
    {
        QFETCH(bool, otherReading);
        Session s;
        s.addMonth(QStringLiteral("202612"));
        db::Connection other;
        other.open(schema::ConnectionStringFor(s.folder.path()));
        for (int i = 0; i < 50; ++i)
            other.execute(QStringLiteral("insert into TGZ (GZMonth,DepartName,EmpName) values ('202612','部',?)"),
                          {QStringLiteral("员工%1").arg(i)});
        // The rows are still in the journal: the database file alone lacks them.
        QVERIFY(QFileInfo(s.folder.file(QStringLiteral("DB/ZYDB.dat-wal"))).size() > 0);
        if (otherReading) {
            other.execute(QStringLiteral("BEGIN"));
            other.execute(QStringLiteral("select count(*) from TGZ"));
        }
        const QString archive = s.folder.file(QStringLiteral("Bak/a.GZBK"));
        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive);
        QCOMPARE(payRowsIn(archive), 50);
        if (otherReading)
            other.execute(QStringLiteral("COMMIT"));
    }

    void hostileArchivesLeaveDbAsItWas_data()
    {
        QTest::addColumn<Entries>("entries"); // empty: raw bytes below
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("reason"); // in the error's text
        using E = Entries;
        QTest::newRow("a text file") << E{} << QByteArray("这不是备份文件\r\n") << "Cannot open the archive";
        QTest::newRow("empty file") << E{} << QByteArray() << "Cannot open the archive";
        QTest::newRow("parent folder member") << E{{"a.txt", "x"}, {"../evil.txt", "evil"}} << QByteArray() << "leaves";
        QTest::newRow("folder escaping member") << E{{"sub/../../evil.txt", "evil"}} << QByteArray() << "leaves";
        QTest::newRow("absolute member") << E{{"/tmp/slip-evil.txt", "evil"}} << QByteArray() << "absolute";
        QTest::newRow("drive letter member") << E{{"C:/evil.txt", "evil"}} << QByteArray() << "absolute";
        QTest::newRow("link member") << E{{"a.txt", "x"}, {"passwd", "link:/etc/passwd"}} << QByteArray() << "link";
        QTest::newRow("database of someone else") << E{{"ZYDB.dat", QByteArray(4096, 'z')}} << QByteArray()
                                                  << "Not a valid password or database";
    }
    void hostileArchivesLeaveDbAsItWas()
    {
        QFETCH(Entries, entries);
        QFETCH(QByteArray, raw);
        QFETCH(QString, reason);
        Session s;
        s.addMonth(QStringLiteral("202612"));
        const QString archive = s.folder.file(QStringLiteral("Bak/bad.GZBK"));
        if (entries.isEmpty())
            s.folder.writeFile(QStringLiteral("Bak/bad.GZBK"), raw);
        else
            QVERIFY(writeZip(archive, entries));
        s.dm.ADOLocal.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        const QStringList before = fingerprint(s.folder.file(QStringLiteral("DB")));
        try {
            maintenance::RestoreDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive, kNow);
            QFAIL("restored");
        } catch (const slip::Error& e) {
            QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
        }
        QCOMPARE(fingerprint(s.folder.file(QStringLiteral("DB"))), before);
        QVERIFY(!QFile::exists(s.folder.file(QStringLiteral("evil.txt"))));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/slip-evil.txt")));
        QVERIFY(s.dm.ADOLocal.isConnected());
        QCOMPARE(s.column(QStringLiteral("select GZMonth from TGZMonth")), QStringList{"202612"});
    }

    void plainDatabaseWithoutOurTablesIsRefused()
    {
        Session s;
        QTemporaryDir dir;
        const QString other = dir.filePath(QStringLiteral("ZYDB.dat"));
        db::Connection::createDatabase(other, schema::kDatabasePassword, QStringLiteral("create table T (a);"));
        const QString archive = s.folder.file(QStringLiteral("Bak/other.GZBK"));
        QVERIFY(writeZip(archive, {{"ZYDB.dat", ReadBytes(other)}}));
        const QStringList before = fingerprint(s.folder.file(QStringLiteral("DB")));
        QVERIFY_THROWS_EXCEPTION(slip::Error, maintenance::RestoreDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive, kNow));
        QCOMPARE(fingerprint(s.folder.file(QStringLiteral("DB"))), before);
    }

    void truncatedArchiveLeavesDbAsItWas()
    {
        Session s;
        const QString good = s.folder.file(QStringLiteral("Bak/good.GZBK"));
        maintenance::BackupDatabaseFolder(s.dm.ADOLocal, s.folder.path(), good);
        const QByteArray bytes = ReadBytes(good);
        s.folder.writeFile(QStringLiteral("Bak/cut.GZBK"), bytes.left(bytes.size() / 2));
        s.addMonth(QStringLiteral("202612"));
        s.dm.ADOLocal.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        const QStringList before = fingerprint(s.folder.file(QStringLiteral("DB")));
        QVERIFY_THROWS_EXCEPTION(slip::Error, maintenance::RestoreDatabaseFolder(s.dm.ADOLocal, s.folder.path(),
                                                                                 s.folder.file(QStringLiteral("Bak/cut.GZBK")), kNow));
        QCOMPARE(fingerprint(s.folder.file(QStringLiteral("DB"))), before);
    }

    void foldersOfOtherToolsAreMadeBelowDb()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.folder.writeFile(QStringLiteral("DB/Other.txt"), "stays");
        const QString archive = s.folder.file(QStringLiteral("Bak/other.GZBK"));
        // No database at the top level: the nested one is a plain file below DB/.
        QVERIFY(writeZip(archive, {{"backup/DB/ZYDB.dat", "nested"}, {"ContractFile/合同.txt", "合同"}}));
        maintenance::RestoreDatabaseFolder(s.dm.ADOLocal, s.folder.path(), archive, kNow);
        QCOMPARE(ReadBytes(s.folder.file(QStringLiteral("DB/backup/DB/ZYDB.dat"))), QByteArray("nested"));
        QCOMPARE(ReadBytes(s.folder.file(QStringLiteral("DB/ContractFile/合同.txt"))), QByteArray("合同"));
        QCOMPARE(ReadBytes(s.folder.file(QStringLiteral("DB/Other.txt"))), QByteArray("stays"));
        QVERIFY(s.folder.connect(s.dm));
        QCOMPARE(s.column(QStringLiteral("select GZMonth from TGZMonth")), QStringList{"202612"});
    }

    void clearingKeepsItemsAndParameters()
    {
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("部"), QStringLiteral("张三"));
        s.dm.ADOLocal.execute(QStringLiteral("Update TPara Set LogPass='k1'"));
        const QStringList items = s.dump(QStringLiteral("TGZSet"));
        const QStringList para = s.dump(QStringLiteral("TPara"));
        s.folder.writeFile(QStringLiteral("DB/ContractFile/a.doc"), "a");
        s.folder.writeFile(QStringLiteral("DB/ContractFile/2026/b.doc"), "b");
        s.folder.writeFile(QStringLiteral("DB/Other.txt"), "stays");

        TfrmReBulid dlg(s.dm.ADOLocal, s.folder.path());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("系统重建"));
        QCOMPARE(dlg.ListSQL, (QStringList{"Delete from TGZMonth", "Delete from TGZ"}));
        QVERIFY(!dlg.cmkYW->isChecked());
        s.ui.answerYes(true);
        dlg.cmkYW->setChecked(true);
        dlg.cmdSH->click();
        QVERIFY(dlg.cleared());
        QCOMPARE(s.ui.questions, QStringList{"系统重建将清除所有数据，请确认您已经备份了数据库，是否继续？"});
        QCOMPARE(s.ui.messages, QStringList{"系统重建完成！"});
        QCOMPARE(s.dump(QStringLiteral("TGZMonth")), QStringList());
        QCOMPARE(s.dump(QStringLiteral("TGZ")), QStringList());
        QCOMPARE(s.dump(QStringLiteral("TGZSet")), items);
        QCOMPARE(s.dump(QStringLiteral("TPara")), para);
        QVERIFY(!QFile::exists(s.folder.file(QStringLiteral("DB/ContractFile/a.doc"))));
        QVERIFY(!QFile::exists(s.folder.file(QStringLiteral("DB/ContractFile/2026/b.doc"))));
        QVERIFY(QDir(s.folder.file(QStringLiteral("DB/ContractFile/2026"))).exists());
        QCOMPARE(ReadBytes(s.folder.file(QStringLiteral("DB/Other.txt"))), QByteArray("stays"));
    }

    void clearingRefusals_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing chosen") << false << true << false << "至少需要选择一项清除项目！";
        QTest::newRow("answered No") << true << false << false << "";
        QTest::newRow("the database refuses") << true << true << true << "清除数据发生错误，数据没有被清除！";
    }
    void clearingRefusals()
    {
        QFETCH(bool, checked);
        QFETCH(bool, yes);
        QFETCH(bool, failing);
        QFETCH(QString, message);
        Session s;
        s.addMonth(QStringLiteral("202612"));
        s.addRow(QStringLiteral("202612"), QStringLiteral("部"), QStringLiteral("张三"));
        s.folder.writeFile(QStringLiteral("DB/ContractFile/a.doc"), "a");
        if (failing) // the second statement fails: the first must not stay done
            s.dm.ADOLocal.execute(QStringLiteral("create trigger failing before delete on TGZ begin select raise(abort, 'disk full'); end"));
        TfrmReBulid dlg(s.dm.ADOLocal, s.folder.path());
        s.ui.answerYes(yes);
        dlg.cmkYW->setChecked(checked);
        dlg.cmdSH->click();
        QVERIFY(!dlg.cleared());
        QCOMPARE(s.ui.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(s.column(QStringLiteral("select GZMonth from TGZMonth")), QStringList{"202612"});
        QCOMPARE(s.column(QStringLiteral("select EmpName from TGZ")), QStringList{"张三"});
        QVERIFY(QFile::exists(s.folder.file(QStringLiteral("DB/ContractFile/a.doc"))));
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestMaintenance>(argc, argv);
}

#include "tst_maintenance.moc"
