#include "updater/Catalogue.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "platform/db/Connection.h"

#include <QFile>
#include <QFileInfo>

namespace updater {

namespace {

constexpr int kVersionBytes = 10;

// Folders in a catalogue may be written the Windows way.
QString localPath(const QString& name)
{
    return QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// The text after the tag up to the first tab.
QString nameAfter(const QString& entry, const QString& tag)
{
    return entry.mid(tag.size()).section(QLatin1Char('\t'), 0, 0);
}

} // namespace

Selection SelectEntries(const QStringList& lines, const QString& installedVersion)
{
    Selection s;
    s.targetVersion = installedVersion;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        // The version is the first ten bytes of the line as written.
        const QByteArray bytes = ToGbk(lines[i]);
        const QString version = FromGbk(bytes.left(kVersionBytes));
        const QString entry = FromGbk(bytes.mid(kVersionBytes));
        if (version > installedVersion && !s.entries.contains(entry))
            s.entries << entry;
        if (s.targetVersion < version)
            s.targetVersion = version;
    }
    return s;
}

Entry SplitEntry(const QString& entry)
{
    Entry e;
    const qsizetype close = entry.indexOf(QLatin1Char(']'));
    e.tag = close < 0 ? QString() : entry.left(close).mid(1);
    const QString rest = close < 0 ? entry : entry.mid(close + 1);
    const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
    e.localName = tab < 0 ? rest : rest.left(tab);
    e.remoteName = tab < 0 ? QString() : rest.mid(tab + 1);
    return e;
}

bool IsSafeLocalName(const QString& localName)
{
    const QString path = localPath(localName);
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || (path.size() >= 2 && path.at(1) == QLatin1Char(':')))
        return false;
    for (const QString& part : path.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return false;
    return true;
}

bool ReadGbkLines(const QString& path, QStringList& lines)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    QString text = FromGbk(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    return true;
}

bool IsBatchSeparator(const QString& line)
{
    QString t = line;
    while (!t.isEmpty() && t.front().unicode() <= 32)
        t.remove(0, 1);
    while (!t.isEmpty() && t.back().unicode() <= 32)
        t.chop(1);
    return t.compare(QLatin1String("GO"), Qt::CaseInsensitive) == 0;
}

QStringList SplitBatches(const QStringList& lines)
{
    QStringList batches;
    QString batch;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsBatchSeparator(lines[i])) {
            if (!batch.trimmed().isEmpty())
                batches << batch;
            batch.clear();
            continue;
        }
        batch += lines[i] + QStringLiteral("\r\n");
        if (i == lines.size() - 1 && !batch.trimmed().isEmpty())
            batches << batch;
    }
    return batches;
}

int ExeASQLFile(db::Connection& conn, const QString& path)
{
    QStringList lines;
    if (!ReadGbkLines(path, lines))
        return 0;
    int failed = 0;
    for (const QString& batch : SplitBatches(lines)) {
        try {
            conn.executeScript(batch);
        } catch (const slip::Error&) {
            ++failed; // scripts are written to be run again; the next batch still runs
        }
    }
    return failed;
}

ApplyResult ApplyUpdates(db::Connection& conn, const QStringList& entries, const QString& updateFolder,
                         const QString& programFolder, const QString& targetVersion,
                         const std::function<void()>& reconnect, const std::function<void(const QString&)>& status)
{
    const QString kSql = QStringLiteral("[SQL]"), kClient = QStringLiteral("[CLIENT]");
    auto say = [&](const QString& text) {
        if (status)
            status(text);
    };
    ApplyResult result;
    say(QStringLiteral("文件下载完成，正在更新数据库结构……"));
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (!entries[i].startsWith(kSql))
            continue;
        const QString name = nameAfter(entries[i], kSql);
        if (!IsSafeLocalName(name)) {
            result.refused << name;
            continue;
        }
        say(QStringLiteral("正在更新脚本：") + name);
        ExeASQLFile(conn, updateFolder + QStringLiteral("SQL/") + localPath(name));
        say(QStringLiteral("更新脚本：") + name + QStringLiteral("完成"));
    }
    if (reconnect)
        reconnect();
    for (qsizetype i = entries.size() - 1; i >= 0; --i) {
        if (!entries[i].startsWith(kClient))
            continue;
        const QString name = nameAfter(entries[i], kClient);
        if (!IsSafeLocalName(name)) {
            result.refused << name;
            continue;
        }
        say(QStringLiteral("正在更新客户端更新文件：") + name);
        const QString target = programFolder + localPath(name);
        // A missing destination folder is not made: that file stays as it was.
        if (!QFileInfo(QFileInfo(target).absolutePath()).isDir()) {
            result.notReplaced << name;
            continue;
        }
        try {
            CopyFileData(updateFolder + QStringLiteral("CLIENT/") + localPath(name), target);
        } catch (const slip::Error&) {
            result.notReplaced << name;
        }
    }
    // The version moves on only when every client file is in place: the next run tries again.
    if (result.notReplaced.isEmpty()) {
        try {
            conn.execute(QStringLiteral("Update TPara Set ClientVer=?"), {targetVersion});
            result.versionWritten = true;
        } catch (const slip::Error&) {
            // not written: the next run offers the same update again
        }
    }
    return result;
}

} // namespace updater
