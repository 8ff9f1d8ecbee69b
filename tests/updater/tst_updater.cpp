#include "tests/support/Files.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "updater/Catalogue.h"
#include "updater/Download.h"
#include "updater/Processes.h"
#include "updater/uServerUpdate.h"

#include "common/Text.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <map>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

QByteArray gbkLines(const QStringList& lines)
{
    return ToGbk(lines.join("\r\n") + "\r\n");
}

// Answers from a table of URLs; anything else is a failed request.
class FakeHttp : public updater::HttpClient {
public:
    bool get(const QUrl& url, QByteArray& body, const Progress& progress) override
    {
        asked << url.toString();
        const auto it = files.find(url.toString());
        if (it == files.end())
            return false;
        body = it->second;
        if (progress)
            progress(body.size(), body.size());
        return true;
    }
    std::map<QString, QByteArray> files;
    QStringList asked;
};

// This executable, copied into a program folder as "SlipDesk" and run with "--stand-in",
// stands in for the payslip program: it notes in "<itself>.log" that it started and, on
// SIGTERM, that it was asked to stop.
const char* const kStandIn = "--stand-in";
volatile std::sig_atomic_t g_stopAsked = 0;

void noteInLog(const std::string& log, const char* what)
{
    if (FILE* f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "%s\n", what);
        std::fclose(f);
    }
}

int standIn()
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 2;
    const std::string log = std::string(self) + ".log";
    std::signal(SIGTERM, [](int) { g_stopAsked = 1; });
    noteInLog(log, "started");
    while (!g_stopAsked)
        usleep(20000);
    noteInLog(log, "stopped");
    return 0;
}

// Starts a stand-in as folder/SlipDesk.
QProcess* startStandIn(const QString& folder, QObject* parent)
{
    const QString exe = folder + "SlipDesk";
    QFile::remove(exe);
    QFile::copy(QCoreApplication::applicationFilePath(), exe);
    QFile(exe).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto* p = new QProcess(parent);
    p->start(exe, {kStandIn});
    if (!p->waitForStarted())
        qWarning("stand-in did not start: %s (%s)", qPrintable(p->errorString()), qPrintable(exe));
    for (int i = 0; i < 100 && !QFile::exists(exe + ".log"); ++i)
        QThread::msleep(20);
    return p;
}

// Starts Python's HTTP server on 127.0.0.1 serving a folder; returns its port, empty
// when it did not start.
QString startServer(QProcess& server, const QString& folder)
{
    server.start("/usr/bin/python3", {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", folder});
    if (!server.waitForStarted())
        return {};
    QString port;
    for (int i = 0; i < 100 && port.isEmpty(); ++i) {
        server.waitForReadyRead(100);
        port = QRegularExpression("port (\\d+)").match(QString::fromUtf8(server.readAllStandardOutput())).captured(1);
    }
    return port;
}

} // namespace

class TestUpdateRules : public QObject {
    Q_OBJECT
private slots:
    void selection_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("target");
        QTest::newRow("equal version not selected")
            << QStringList{"2026.01.01[CLIENT]a.txt\ta.txt", "2026.02.01[SQL]b.sql\tb.sql"} << "2026.01.01"
            << QStringList{"[SQL]b.sql\tb.sql"} << "2026.02.01";
        QTest::newRow("reverse order")
            << QStringList{"2026.02.01[SQL]1.sql\t1.sql", "2026.03.01[SQL]2.sql\t2.sql"} << "2026.01.01"
            << QStringList{"[SQL]2.sql\t2.sql", "[SQL]1.sql\t1.sql"} << "2026.03.01";
        QTest::newRow("same entry under two versions once")
            << QStringList{"2026.02.01[CLIENT]a.txt\ta.txt", "2026.03.01[CLIENT]a.txt\ta.txt"} << "2026.01.01"
            << QStringList{"[CLIENT]a.txt\ta.txt"} << "2026.03.01";
        QTest::newRow("an empty entry raises the target")
            << QStringList{"2026.05.01"} << "2026.01.01" << QStringList{""} << "2026.05.01";
        QTest::newRow("empty installed version") << QStringList{"2026.01.01[SQL]x\tx"} << ""
                                                 << QStringList{"[SQL]x\tx"} << "2026.01.01";
        QTest::newRow("nothing newer, installed stays the target")
            << QStringList{"2025.01.01[SQL]x\tx"} << "2026.01.01" << QStringList{} << "2026.01.01";
    }
    void selection()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, installed);
        QFETCH(QStringList, entries);
        QFETCH(QString, target);
        const updater::Selection s = updater::SelectEntries(lines, installed);
        QCOMPARE(s.entries, entries);
        QCOMPARE(s.targetVersion, target);
    }

    void splitting_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("client") << "[CLIENT]Help\\a.htm\ta_v2.htm" << QStringList{"CLIENT", "Help\\a.htm", "a_v2.htm"};
        QTest::newRow("lower-case tag") << "[sql]x.sql\ty.sql" << QStringList{"sql", "x.sql", "y.sql"};
        QTest::newRow("no tab") << "[SQL]x.sql" << QStringList{"SQL", "x.sql", ""};
    }
    void splitting()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, parts);
        const updater::Entry e = updater::SplitEntry(entry);
        QCOMPARE((QStringList{e.tag, e.localName, e.remoteName}), parts);
    }

    void safeNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "SlipDesk" << true;
        QTest::newRow("sub-folder") << "Help\\WrenGZ.htm" << true;
        QTest::newRow("parent") << "..\\..\\etc\\passwd" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("drive") << "C:\\x" << false;
    }
    void safeNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, safe);
        QCOMPARE(updater::IsSafeLocalName(name), safe);
    }

    void batches_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("batches");
        QTest::newRow("GO in any case, blanks around")
            << QStringList{"a", " go ", "b", "\tGo"} << QStringList{"a\r\n", "b\r\n"};
        QTest::newRow("text besides GO belongs to the batch") << QStringList{"a", "GO 2", "b"}
                                                               << QStringList{"a\r\nGO 2\r\nb\r\n"};
        QTest::newRow("no GO at all") << QStringList{"a", "b"} << QStringList{"a\r\nb\r\n"};
        QTest::newRow("last line GO") << QStringList{"a", "GO"} << QStringList{"a\r\n"};
        QTest::newRow("blank batches dropped") << QStringList{"GO", "  ", "GO"} << QStringList{};
    }
    void batches()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, batches);
        QCOMPARE(updater::SplitBatches(lines), batches);
    }

    void scriptGoesOnAfterAFailingBatch()
    {
        Session s;
        const QString script = s.folder.file("s.sql");
        WriteBytes(script, gbkLines({"create table TNew (A text)", "GO", "insert into Nowhere values (1)", "GO",
                                     "insert into TNew values ('中文');", "insert into TNew values ('b');"}));
        QCOMPARE(updater::ExeASQLFile(s.dm.ADOLocal, script), 1);
        QCOMPARE(s.column("select A from TNew"), (QStringList{"中文", "b"}));
        QCOMPARE(updater::ExeASQLFile(s.dm.ADOLocal, s.folder.file("missing.sql")), 0);
    }

    void applyStep()
    {
        Session s;
        const QString update = s.folder.file("NetUpdate/");
        WriteBytes(update + "SQL/1.sql", gbkLines({"update TPara set EntName='新名'"}));
        WriteBytes(update + "CLIENT/Help/WrenGZ.htm", "new help");
        WriteBytes(update + "CLIENT/NoSuch/x.txt", "x");
        WriteBytes(update + "CLIENT/lower.txt", "lower");
        const QStringList entries{"[CLIENT]NoSuch\\x.txt\tx.txt", "[CLIENT]Help\\WrenGZ.htm\th.htm", "[SQL]1.sql\t1.sql",
                                  "[client]lower.txt\tlower.txt", ""};
        bool reconnected = false;
        const updater::ApplyResult r = updater::ApplyUpdates(s.dm.ADOLocal, entries, update, s.folder.path(), "2026.12.01",
                                                             [&] { reconnected = true; });
        QVERIFY(reconnected);
        QCOMPARE(s.column("select EntName from TPara"), QStringList{"新名"});
        QCOMPARE(ReadBytes(s.folder.file("Help/WrenGZ.htm")), QByteArray("new help"));
        QVERIFY(!QFile::exists(s.folder.file("lower.txt"))); // a lower-case tag is not applied
        QVERIFY(!QDir(s.folder.file("NoSuch")).exists());
        QCOMPARE(r.notReplaced, QStringList{"NoSuch\\x.txt"});
        QVERIFY(!r.versionWritten); // tried again next time
        QVERIFY(s.column("select ClientVer from TPara").value(0) != "2026.12.01");

        const updater::ApplyResult ok = updater::ApplyUpdates(s.dm.ADOLocal, {"[SQL]1.sql\t1.sql"}, update,
                                                              s.folder.path(), "2026.12.01", {});
        QVERIFY(ok.versionWritten);
        QCOMPARE(s.column("select ClientVer from TPara"), QStringList{"2026.12.01"});
    }

    void onlyThisFoldersProgramIsStopped()
    {
        QTemporaryDir a, b;
        QObject owner;
        QProcess* mine = startStandIn(a.path() + "/", &owner);
        QProcess* other = startStandIn(b.path() + "/", &owner);
        QCOMPARE(updater::StopProgram(a.path() + "/SlipDesk"), 1);
        QVERIFY(mine->state() == QProcess::NotRunning || mine->waitForFinished(5000));
        QVERIFY(ReadBytes(a.path() + "/SlipDesk.log").contains("stopped")); // asked, not killed
        QCOMPARE(other->state(), QProcess::Running);
        other->kill();
        other->waitForFinished();
    }
};

class TestUpdaterWindow : public QObject {
    Q_OBJECT
private slots:
    void missingDatabaseEnds()
    {
        Session s;
        QFile::remove(s.folder.databaseFile());
        FakeHttp http;
        TfrmServerUpdate w(s.folder.path(), &http);
        w.TimerUpdateCheckTimer();
        QVERIFY(w.ended());
        QCOMPARE(w.Label1->text(), QStringLiteral("连接数据库失败."));
        QCOMPARE(s.ui.messages, QStringList{"连接数据库失败，请首先确认软件是否正确安装！"});
    }

    void busyMarker_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("present: the update waits") << true;
        QTest::newRow("absent: the update goes on") << false;
    }
    void busyMarker()
    {
        QFETCH(bool, busy);
        Session s;
        s.folder.writeFile("IIS.INI", "[Last]\r\nUpdateURL=http://127.0.0.1:9/\r\n");
        FakeHttp http;
        if (busy)
            http.files["http://127.0.0.1:9/WrenGZ/NowUpLoad.txt"] = "busy";
        http.files["http://127.0.0.1:9/WrenGZ/UpdateCnt.txt"] = gbkLines({"2000010101[SQL]x.sql\tx.sql"});
        TfrmServerUpdate w(s.folder.path(), &http);
        QCOMPARE(w.baseAddress(), QStringLiteral("http://127.0.0.1:9"));
        w.TimerUpdateCheckTimer();
        QVERIFY(!w.ended());
        w.TimerGetListTimer();
        QVERIFY(w.ended());
        QCOMPARE(s.ui.messages, QStringList{busy ? "服务器正在发布更新文件，请稍后再更新数据！" : "没有需要更新的内容，您的版本已经是最新！"});
        QCOMPARE(QFile::exists(s.folder.file("NetUpdate/UpdateCnt.txt")), !busy);
    }

    void offlinePackage()
    {
        Session s;
        s.folder.writeFile("IIS.INI", "[Last]\r\nUpdateURL=http://no-such-host.invalid\r\n");
        const QString package = s.folder.file("pkg/");
        WriteBytes(package + "UpdateCnt.txt",
                  gbkLines({"2026121501[SQL]1.sql\t1.sql", "2026121501[CLIENT]Help\\WrenGZ.htm\th.htm",
                            "2026121501[CLIENT]..\\evil.txt\tevil.txt"}));
        WriteBytes(package + "SQL/1.sql", gbkLines({"update TPara set EntName='包'"}));
        WriteBytes(package + "CLIENT/Help/WrenGZ.htm", "packaged help");
        WriteBytes(package + "CLIENT/../evil.txt", "evil");
        FakeHttp http;
        TfrmServerUpdate w(s.folder.path(), &http);
        w.TimerUpdateCheckTimer();
        s.ui.answerYes(true);
        s.ui.answerFile(package + "UpdateCnt.txt");
        w.TimerGetListTimer();
        QVERIFY(w.ended());
        QVERIFY(http.asked.isEmpty());
        QCOMPARE(s.ui.prompts, QStringList{"选择更新目录文件"});
        QCOMPARE(s.column("select EntName from TPara"), QStringList{"包"});
        QCOMPARE(ReadBytes(s.folder.file("Help/WrenGZ.htm")), QByteArray("packaged help"));
        QVERIFY(!QFile::exists(s.folder.file("evil.txt")));
        QCOMPARE(s.ui.messages.last(), QStringLiteral("升级已完成！\n以下文件没有更新：\n..\\evil.txt"));
        QCOMPARE(s.shell.started.size(), size_t(1));
        QCOMPARE(s.shell.started[0].first, s.folder.file("SlipDesk"));
    }

    void declinedPackageEnds()
    {
        Session s;
        s.folder.writeFile("IIS.INI", "[Last]\r\nUpdateURL=http://no-such-host.invalid\r\n");
        FakeHttp http;
        TfrmServerUpdate w(s.folder.path(), &http);
        w.TimerUpdateCheckTimer();
        s.ui.answerYes(false);
        w.TimerGetListTimer();
        QVERIFY(w.ended());
        QVERIFY(s.ui.prompts.isEmpty());
        QVERIFY(s.shell.started.empty());
    }
};

// A real round trip: an HTTP server on 127.0.0.1 serving an update tree, the stand-in
// payslip program running in the program folder, and the database open in both programs.
class TestUpdaterRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void updatesFromALocalServer()
    {
        Session s;
        QTemporaryDir site;
        const QString root = site.path() + "/WrenGZ/";
        WriteBytes(root + "UpdateCnt.txt", gbkLines({"2026110101[SQL]old.sql\told.sql", "2026121501[CLIENT]Help\\WrenGZ.htm\thelp_v2.htm",
                                                    "2026121501[SQL]new.sql\tnew_v2.sql"}));
        WriteBytes(root + "CLIENT/help_v2.htm", "served help");
        WriteBytes(root + "SQL/new_v2.sql", gbkLines({"create table TAdded (A text)", "GO", "insert into TAdded values ('升级')"}));
        WriteBytes(root + "SQL/old.sql", gbkLines({"insert into TAdded values ('old')"}));
        QProcess server;
        const QString port = startServer(server, site.path());
        QVERIFY2(!port.isEmpty(), "the HTTP server did not start");
        s.folder.writeFile("IIS.INI", ("[Last]\r\nUpdateURL=http://127.0.0.1:" + port + "\r\n").toUtf8());
        s.dm.ADOLocal.execute("update TPara set ClientVer='2026111501'");
        QObject owner;
        QProcess* standIn = startStandIn(s.folder.path(), &owner);

        TfrmServerUpdate w(s.folder.path());
        w.TimerUpdateCheckTimer();
        QCOMPARE(w.installedVersion(), QStringLiteral("2026111501"));
        s.addMonth("202612"); // the payslip program writes while the updater has the file open
        w.TimerGetListTimer();
        QVERIFY(w.ended());
        server.kill();
        server.waitForFinished();

        QCOMPARE(s.ui.messages, QStringList{"升级已完成！"});
        QVERIFY(standIn->state() == QProcess::NotRunning || standIn->waitForFinished(5000));
        QVERIFY(ReadBytes(s.folder.file("SlipDesk.log")).contains("stopped"));
        QCOMPARE(s.column("select A from TAdded"), QStringList{"升级"}); // the older script was not due
        QCOMPARE(ReadBytes(s.folder.file("Help/WrenGZ.htm")), QByteArray("served help"));
        QCOMPARE(s.column("select ClientVer from TPara"), QStringList{"2026121501"});
        QCOMPARE(s.shell.started[0].first, s.folder.file("SlipDesk"));
        QVERIFY(w.windowTitle().endsWith("2026111501 To 2026121501"));
    }

    void catalogueNotFound()
    {
        Session s;
        QTemporaryDir site; // serves nothing
        QProcess server;
        const QString port = startServer(server, site.path());
        QVERIFY2(!port.isEmpty(), "the HTTP server did not start");
        s.folder.writeFile("IIS.INI", ("[Last]\r\nUpdateURL=http://127.0.0.1:" + port + "\r\n").toUtf8());
        TfrmServerUpdate w(s.folder.path());
        w.TimerUpdateCheckTimer();
        w.TimerGetListTimer();
        server.kill();
        server.waitForFinished();
        QVERIFY(w.ended());
        QCOMPARE(s.ui.messages, QStringList{"下载更新目录文件失败！确认您的电脑已经连接到Internet"});
        QVERIFY(s.shell.started.empty());
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], kStandIn) == 0)
        return standIn();
    return slip_test::runTests<TestUpdateRules, TestUpdaterWindow, TestUpdaterRoundTrip>(argc, argv);
}

#include "tst_updater.moc"
