#include "platform/shell/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace shell {

namespace {

Shell* g_override = nullptr;

} // namespace

Shell& current()
{
    static DesktopShell desktop;
    return g_override ? *g_override : desktop;
}

void setCurrent(Shell* s)
{
    g_override = s;
}

namespace {

// xdg-open tells whether the desktop has a program for the address; it may also stay with
// the program it started, so a short wait decides.
bool openWithDesktop(const QUrl& url)
{
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty())
        return QDesktopServices::openUrl(url);
    auto* p = new QProcess(QCoreApplication::instance());
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->start(xdgOpen, {url.toString()});
    if (!p->waitForStarted()) {
        p->deleteLater();
        return false;
    }
    if (!p->waitForFinished(1500))
        return true; // still with the program it started
    return p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0;
}

} // namespace

bool DesktopShell::openUrl(const QString& address)
{
    const QFileInfo local(address);
    const QUrl url = local.exists() ? QUrl::fromLocalFile(local.absoluteFilePath()) : QUrl::fromUserInput(address);
    const bool opened = openWithDesktop(url);
    if (!opened)
        qWarning("No program of the desktop opens %s", qPrintable(url.toString()));
    return opened;
}

bool DesktopShell::runFile(const QString& file, const QString& parameters)
{
    const QStringList args = QProcess::splitCommand(parameters);
    if (file.compare(QLatin1String("calc"), Qt::CaseInsensitive) == 0) {
        const QString calc = findCalculator();
        return !calc.isEmpty() && QProcess::startDetached(calc, args);
    }
    const QFileInfo info(file);
    if (info.isDir() || (info.isFile() && !info.isExecutable()))
        return openUrl(info.absoluteFilePath());
    const QString program = info.exists() ? info.absoluteFilePath() : QStandardPaths::findExecutable(file);
    return !program.isEmpty() && QProcess::startDetached(program, args, QFileInfo(program).absolutePath());
}

bool DesktopShell::hasSpreadsheetProgram()
{
    static const char* const programs[] = {"libreoffice", "soffice", "localc", "et", "wps", "gnumeric"};
    for (const char* name : programs)
        if (!QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty())
            return true;
    // Whatever the desktop opens .xls files with.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/vnd.ms-excel")});
    return query.waitForFinished(3000) && !query.readAllStandardOutput().trimmed().isEmpty();
}

QString findCalculator()
{
    static const char* const candidates[] = {
        "gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "qalculate-qt", "xcalc",
    };
    for (const char* name : candidates) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace shell
