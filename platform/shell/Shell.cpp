#include "platform/shell/Shell.h"

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

void DesktopShell::openUrl(const QString& address)
{
    const QFileInfo local(address);
    const QUrl url = local.exists() ? QUrl::fromLocalFile(local.absoluteFilePath()) : QUrl::fromUserInput(address);
    QDesktopServices::openUrl(url);
}

void DesktopShell::runFile(const QString& file, const QString& parameters)
{
    const QStringList args = QProcess::splitCommand(parameters);
    if (file.compare(QLatin1String("calc"), Qt::CaseInsensitive) == 0) {
        const QString calc = findCalculator();
        if (!calc.isEmpty())
            QProcess::startDetached(calc, args);
        return;
    }
    const QFileInfo info(file);
    if (info.isDir() || (info.isFile() && !info.isExecutable())) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
        return;
    }
    const QString program = info.exists() ? info.absoluteFilePath() : QStandardPaths::findExecutable(file);
    if (!program.isEmpty())
        QProcess::startDetached(program, args, QFileInfo(program).absolutePath());
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
