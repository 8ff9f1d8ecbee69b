#include "updater/uServerUpdate.h"
#include "updater/Catalogue.h"
#include "updater/Download.h"
#include "updater/Processes.h"

#include "common/IniFile.h"
#include "common/StartValues.h"
#include "common/uCommon.h"
#include "data/Schema.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kNoUpdate = QStringLiteral("没有需要更新的内容，您的版本已经是最新！");
const QString kCatalogueName = QStringLiteral("UpdateCnt.txt");
const QString kDefaultUpdateUrl = QStringLiteral("https://update.slipdesk.example");

QLabel* pageLabel(QWidget* page, const QString& text)
{
    auto* l = new QLabel(text, page);
    l->setWordWrap(true);
    return l;
}

} // namespace

TfrmServerUpdate::TfrmServerUpdate(const QString& programFolder, updater::HttpClient* http, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_programFolder(programFolder.isEmpty() ? ExecutableFolder() : programFolder),
      m_http(http)
{
    if (!m_http) {
        m_ownHttp = std::make_unique<updater::QtHttpClient>();
        m_http = m_ownHttp.get();
    }
    PageControl1 = new QTabWidget(this);
    auto* page1 = new QWidget(PageControl1);
    Label1 = pageLabel(page1, QStringLiteral("正在连接数据库……"));
    auto* l1 = new QVBoxLayout(page1);
    l1->addWidget(Label1);
    l1->addStretch();
    auto* page2 = new QWidget(PageControl1);
    Label2 = pageLabel(page2, QStringLiteral("正在下载更新目录文件……"));
    ProgressBar1 = new QProgressBar(page2);
    ProgressBar1->setTextVisible(false);
    auto* l2 = new QVBoxLayout(page2);
    l2->addWidget(Label2);
    l2->addWidget(ProgressBar1);
    l2->addStretch();
    PageControl1->addTab(page1, QStringLiteral("连接数据库"));
    PageControl1->addTab(page2, QStringLiteral("下载更新文件"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    setFixedSize(460, 180);

    TimerUpdateCheck = new QTimer(this);
    TimerUpdateCheck->setSingleShot(true);
    TimerUpdateCheck->setInterval(500);
    TimerGetList = new QTimer(this);
    TimerGetList->setSingleShot(true);
    TimerGetList->setInterval(500);
    connect(TimerUpdateCheck, &QTimer::timeout, this, &TfrmServerUpdate::TimerUpdateCheckTimer);
    connect(TimerGetList, &QTimer::timeout, this, &TfrmServerUpdate::TimerGetListTimer);
    FormCreate();
}

TfrmServerUpdate::~TfrmServerUpdate() = default;

void TfrmServerUpdate::FormCreate()
{
    const IniFile ini(m_programFolder + QStringLiteral("IIS.INI"));
    m_base = ini.value(QStringLiteral("Last"), QStringLiteral("UpdateURL"), kDefaultUpdateUrl).trimmed();
    while (m_base.endsWith(QLatin1Char('/')))
        m_base.chop(1);
    m_host = QUrl(m_base).host();
    setWindowTitle(kUpdaterTitle);
    ui::SetApplicationTitle(windowTitle());
}

void TfrmServerUpdate::FormActivate()
{
    // The sequence runs once, however often the window becomes active again.
    if (m_started)
        return;
    m_started = true;
    TimerUpdateCheck->start();
}

void TfrmServerUpdate::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TfrmServerUpdate::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Without a window manager a window may never become active: the first show counts.
    QTimer::singleShot(0, this, &TfrmServerUpdate::FormActivate);
}

void TfrmServerUpdate::setStatus(const QString& text)
{
    Label2->setText(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmServerUpdate::endUpdater()
{
    m_ended = true;
    m_conn.close();
    // Ends the event loop once this step has returned to it.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void TfrmServerUpdate::TimerUpdateCheckTimer()
{
    TimerUpdateCheck->stop();
    try {
        m_conn.open(schema::ConnectionStringFor(m_programFolder));
        Label1->setText(QStringLiteral("数据库连接成功！"));
    } catch (const slip::Error&) {
        Label1->setText(QStringLiteral("连接数据库失败."));
        ui::ShowError(QStringLiteral("连接数据库失败，请首先确认软件是否正确安装！"));
        endUpdater();
        return;
    }
    try {
        db::Statement st(m_conn, QStringLiteral("Select ClientVer from TPara"));
        m_installed = st.step() ? st.columnValue(0).toString() : QString();
    } catch (const slip::Error&) {
        ui::ShowError(QStringLiteral("读取数据库参数表发生错误！"));
        endUpdater();
        return;
    }
    PageControl1->setCurrentIndex(1);
    TimerGetList->start();
}

void TfrmServerUpdate::IdHTTP1WorkBegin(qint64 total)
{
    ProgressBar1->setRange(0, int(std::min<qint64>(total / 100, INT_MAX)));
    ProgressBar1->setValue(0);
}

void TfrmServerUpdate::IdHTTP1Work(qint64 received)
{
    ProgressBar1->setValue(int(std::min<qint64>(received / 100, ProgressBar1->maximum())));
}

bool TfrmServerUpdate::download(const QString& url, const QString& file)
{
    ProgressBar1->setValue(0);
    bool begun = false;
    const auto result = updater::DownLoadFile(*m_http, QUrl(url), file, [&](qint64 received, qint64 total) {
        if (!begun && total > 0) {
            IdHTTP1WorkBegin(total);
            begun = true;
        }
        IdHTTP1Work(received);
    });
    if (result == updater::DownloadResult::FolderNotMade)
        ui::ShowError(QStringLiteral("创建本地文件夹失败，请以管理员身份登陆操作系统！"));
    else if (result == updater::DownloadResult::FileNotWritten)
        ui::ShowError(QStringLiteral("创建本地文件失败，请以管理员身份登陆操作系统！"));
    return result == updater::DownloadResult::Stored;
}

bool TfrmServerUpdate::selectFrom(const QString& catalogue)
{
    if (!updater::ReadGbkLines(catalogue, ListBoxML)) {
        ui::ShowError(QStringLiteral("读取更新目录文件失败！"));
        return false;
    }
    setStatus(QStringLiteral("获取更新目录成功！正在校验更新信息……"));
    const updater::Selection s = updater::SelectEntries(ListBoxML, m_installed);
    ListUpdateFiles = s.entries;
    m_target = s.targetVersion;
    if (ListUpdateFiles.isEmpty()) {
        ui::ShowMessage(kNoUpdate);
        return false;
    }
    return true;
}

void TfrmServerUpdate::TimerGetListTimer()
{
    TimerGetList->stop();
    setStatus(QStringLiteral("正在连接到Internet......"));
    if (!updater::ResolveHostAddress(m_host).isEmpty())
        runOnline();
    else
        runOffline();
}

void TfrmServerUpdate::runOnline()
{
    const QString folder = m_programFolder + QStringLiteral("NetUpdate/");
    setStatus(QStringLiteral("正在连机获取更新目录！"));
    if (download(m_base + QStringLiteral("/WrenGZ/NowUpLoad.txt"), folder + QStringLiteral("NowUpLoad.txt"))) {
        ui::ShowMessage(QStringLiteral("服务器正在发布更新文件，请稍后再更新数据！"));
        return endUpdater();
    }
    if (!download(m_base + QStringLiteral("/WrenGZ/UpdateCnt.txt"), folder + kCatalogueName)) {
        ui::ShowError(QStringLiteral("下载更新目录文件失败！确认您的电脑已经连接到Internet"));
        return endUpdater();
    }
    if (!selectFrom(folder + kCatalogueName))
        return endUpdater();
    updater::StopProgram(m_programFolder + QStringLiteral("SlipDesk"));
    setWindowTitle(QStringLiteral("鹪鹩工资条软件单机版自动升级  ") + m_installed + QStringLiteral(" To ") + m_target);
    setStatus(QStringLiteral("开始下载文件……"));
    for (const QString& entryText : ListUpdateFiles) {
        const updater::Entry e = updater::SplitEntry(entryText);
        const QString tag = e.tag.toUpper();
        if (tag != QLatin1String("CLIENT") && tag != QLatin1String("SQL"))
            continue;
        if (!updater::IsSafeLocalName(e.localName)) {
            m_refused << e.localName; // never written outside the download folder
            continue;
        }
        setStatus(QStringLiteral("开始下载") + e.remoteName + QStringLiteral("……"));
        const QString local = folder + tag + QLatin1Char('/') + QString(e.localName).replace(QLatin1Char('\\'), QLatin1Char('/'));
        QDir().mkpath(QFileInfo(local).absolutePath()); // sub-folders of the entry's name
        if (!download(m_base + QStringLiteral("/WrenGZ/") + tag + QLatin1Char('/') + e.remoteName, local)) {
            ui::ShowError(QStringLiteral("下载文件") + e.remoteName + QStringLiteral("失败！"));
            return endUpdater();
        }
    }
    apply(folder);
}

void TfrmServerUpdate::runOffline()
{
    ui::ShowError(QStringLiteral("域名解析失败！确认您的电脑已经连接到Internet"));
    if (!ui::AskYesNo(QStringLiteral("不能联网的情况下，可以通过其他渠道获得更新包文件！可以直接选择更新包\r是否选择更新包？")))
        return endUpdater();
    const QString chosen = ui::current().openFileName(QStringLiteral("选择更新目录文件"), m_programFolder + kCatalogueName,
                                                      QStringLiteral("UpdateCnt.txt|UpdateCnt.txt"));
    if (chosen.isEmpty())
        return endUpdater();
    const QString package = QFileInfo(chosen).absolutePath() + QLatin1Char('/');
    ListUpdateFiles.clear();
    if (!selectFrom(package + kCatalogueName))
        return endUpdater();
    apply(package);
}

void TfrmServerUpdate::apply(const QString& updateFolder)
{
    const updater::ApplyResult r = updater::ApplyUpdates(
        m_conn, ListUpdateFiles, updateFolder, m_programFolder, m_target,
        [this] {
            m_conn.close();
            // A failed reconnection shows later as an unwritten version; nothing else to do here.
            ui::Quietly([this] { m_conn.open(schema::ConnectionStringFor(m_programFolder)); });
        },
        [this](const QString& text) { setStatus(text); });
    QString text = QStringLiteral("升级已完成！");
    const QStringList skipped = r.notReplaced + r.refused + m_refused;
    if (!skipped.isEmpty())
        text += QStringLiteral("\n以下文件没有更新：\n") + skipped.join(QLatin1Char('\n'));
    ui::ShowMessage(text);
    if (!RunFile(m_programFolder + QStringLiteral("SlipDesk"), QString()))
        ui::ShowError(CannotOpenMessage(m_programFolder + QStringLiteral("SlipDesk")));
    endUpdater();
}
