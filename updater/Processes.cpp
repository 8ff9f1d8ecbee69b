#include "updater/Processes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

#include <vector>

namespace updater {

namespace {

std::vector<pid_t> processesOf(const QString& executable)
{
    const QString wanted = QFileInfo(executable).canonicalFilePath();
    std::vector<pid_t> pids;
    if (wanted.isEmpty())
        return pids;
    const pid_t self = getpid();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const pid_t pid = pid_t(entry.toLongLong(&number));
        if (!number || pid == self)
            continue;
        // A process of another user cannot be read: it is not ours to end either.
        if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).canonicalFilePath() == wanted)
            pids.push_back(pid);
    }
    return pids;
}

bool running(pid_t pid)
{
    return kill(pid, 0) == 0 && QFileInfo::exists(QStringLiteral("/proc/%1/exe").arg(pid))
           && !QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath().isEmpty();
}

} // namespace

int StopProgram(const QString& executable, int graceMs)
{
    const std::vector<pid_t> pids = processesOf(executable);
    for (pid_t pid : pids)
        kill(pid, SIGTERM);
    QElapsedTimer waited;
    waited.start();
    for (pid_t pid : pids) {
        while (running(pid) && waited.elapsed() < graceMs)
            QThread::msleep(20);
        if (running(pid))
            kill(pid, SIGKILL);
    }
    return int(pids.size());
}

} // namespace updater
