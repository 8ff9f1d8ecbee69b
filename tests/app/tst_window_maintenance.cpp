#include "tests/support/ScriptedDialogs.h"
#include "tests/support/Session.h"
#include "tests/support/TestMain.h"

#include "app/uMain.h"
#include "common/Clock.h"
#include "common/StartValues.h"
#include "maintenance/uReBulid.h"
#include "platform/grid/DBGrid.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

namespace {

const QString kBackupCaption = QStringLiteral(" 存储工资条数据库");
const QString kRestoreCaption = QStringLiteral("选择工资条数据备份文件");
const QString kRestoreFailed = QStringLiteral("数据文件还原失败，确认选择的文件是本系统自动升级文件，或该自动升级文件已损坏！\n"
                                              "软件将关闭，请手工重新启动系统。");

} // namespace

class TestWindowMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init() { Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 0))); }

    void backupProposesTodaysFileAndReports()
    {
        Session s;
        TfrmMainGZT w(s.dm, s.folder.path());
        const QString target = s.folder.file(QStringLiteral("Bak/20261210.GZBK"));
        s.ui.answerFile(target);
        w.MenuItem1->trigger();
        QCOMPARE(s.ui.prompts, QStringList{kBackupCaption});
        QCOMPARE(s.ui.proposed, QStringList{target});
        QCOMPARE(s.ui.filters, QStringList{"工资条数据库备份(*.GZBK)|*.GZBK"});
        QCOMPARE(s.ui.messages, QStringList{"数据文件备份成功！"});
        QVERIFY(QFile::exists(target));

        s.ui.answerFile(s.folder.file(QStringLiteral("no/such/folder/a.GZBK")));
        w.MenuItem1->trigger();
        QCOMPARE(s.ui.messages.last(), QStringLiteral("备份文件发生错误，确认目标位置可写入！"));
        // A cancelled chooser does nothing.
        w.MenuItem1->trigger();
        QCOMPARE(s.ui.messages.size(), 2);
    }

    void restoreEndsTheProgramEitherWay_data()
    {
        QTest::addColumn<bool>("good");
        QTest::newRow("restored") << true;
        QTest::newRow("not an archive") << false;
    }
    void restoreEndsTheProgramEitherWay()
    {
        QFETCH(bool, good);
        Session s;
        s.addMonth(QStringLiteral("202611"));
        TfrmMainGZT w(s.dm, s.folder.path());
        const QString archive = s.folder.file(QStringLiteral("Bak/a.GZBK"));
        if (good) {
            s.ui.answerFile(archive);
            w.MenuItem1->trigger();
        } else {
            s.folder.writeFile(QStringLiteral("Bak/a.GZBK"), "plain text\r\n");
        }
        s.ui.messages.clear();
        s.ui.answerFile(archive);
        w.MenuItem2->trigger();
        QCOMPARE(s.ui.prompts.last(), kRestoreCaption);
        QCOMPARE(s.ui.proposed.last(), s.folder.file(QStringLiteral("Bak")));
        QCOMPARE(s.ui.filters.last(), QStringLiteral("工资条数据备份(*.GZBK)|*.GZBK"));
        QCOMPARE(s.ui.messages, QStringList{good ? QStringLiteral("还原数据成功，软件将关闭，请手工重新启动系统。") : kRestoreFailed});
        QVERIFY(w.endRequested());
        QVERIFY(!s.dm.ADOLocal.isConnected());
    }

    void passwordGuardsRestoreAndClearing_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("restore") << true;
        QTest::newRow("clearing") << false;
    }
    void passwordGuardsRestoreAndClearing()
    {
        QFETCH(bool, restore);
        Session s;
        s.dm.ADOLocal.execute(QStringLiteral("update TPara set LogPass='Abc9'"));
        TfrmMainGZT w(s.dm, s.folder.path());
        startValues().loginPassword = QStringLiteral("Abc9");
        answerPrompt(s.ui, QString(), false); // cancelled with an empty box
        (restore ? w.MenuItem2 : w.N2)->trigger();
        QCOMPARE(s.ui.dialogTitles, QStringList{kManagePrompt});
        QCOMPARE(s.ui.messages, QStringList{kWrongPassword});
        QVERIFY(s.ui.prompts.isEmpty()); // no file chooser
        QVERIFY(!w.endRequested());

        // The right password opens the next step.
        answerPrompt(s.ui, QStringLiteral("Abc9"));
        (restore ? w.MenuItem2 : w.N2)->trigger();
        QCOMPARE(s.ui.dialogTitles.last(), restore ? kManagePrompt : QStringLiteral("系统重建"));
        if (restore)
            QCOMPARE(s.ui.prompts, QStringList{kRestoreCaption});
        QVERIFY(!w.endRequested());
    }

    void clearingEndsTheProgramAndCancelReloadsMonths()
    {
        Session s;
        s.addMonth(QStringLiteral("202611"));
        TfrmMainGZT w(s.dm, s.folder.path());
        s.addMonth(QStringLiteral("202612")); // added behind the window's back
        w.N2->trigger();                      // cancelled
        QVERIFY(!w.endRequested());
        QCOMPARE(w.CurrentMonth(), QStringLiteral("202612"));

        s.ui.answerDialog([](QDialog& d) {
            auto& dlg = dynamic_cast<TfrmReBulid&>(d);
            dlg.cmkYW->setChecked(true);
            dlg.cmdSH->click();
            return d.result();
        });
        s.ui.answerYes(true);
        w.N2->trigger();
        QCOMPARE(s.ui.messages, QStringList{"系统重建完成！"});
        QVERIFY(w.endRequested());
        // The next start shows an empty month list.
        TDM again;
        QVERIFY(s.folder.connect(again));
        TfrmMainGZT next(again, s.folder.path());
        QCOMPARE(next.gridMonth->rowCount(), 0);
    }
};

int main(int argc, char** argv)
{
    return slip_test::runTests<TestWindowMaintenance>(argc, argv);
}

#include "tst_window_maintenance.moc"
