#include "maintenance/Restore.h"
#include "maintenance/Archive.h"
#include "maintenance/Backup.h"

#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <filesystem>
#include <system_error>

namespace maintenance {

namespace {

// The member's path below DB/, folders split by "/"; refused when it could leave DB/.
QString safeRelativePath(const ArchiveMember& member)
{
    if (member.isLink)
        throw ArchiveError(QStringLiteral("The archive member '%1' is a link").arg(member.name));
    const QString name = QString(member.name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const bool absolute = name.startsWith(QLatin1Char('/'))
                          || (name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter());
    QStringList parts;
    for (const QString& part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            throw ArchiveError(QStringLiteral("The archive member '%1' leaves its folder").arg(member.name));
        if (part != QLatin1String("."))
            parts << part;
    }
    if (absolute)
        throw ArchiveError(QStringLiteral("The archive member '%1' has an absolute path").arg(member.name));
    return parts.join(QLatin1Char('/'));
}

// Replaces `to` in one step, as rename(2) does.
std::error_code tryRename(const QString& from, const QString& to)
{
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData(), ec);
    return ec;
}

void rename(const QString& from, const QString& to)
{
    if (const std::error_code ec = tryRename(from, to))
        throw ArchiveError(QStringLiteral("Cannot move '%1' to '%2': %3")
                               .arg(from, to, QString::fromLocal8Bit(ec.message().c_str())));
}

// Files of a staged tree, relative to its root.
QStringList stagedFiles(const QString& root)
{
    QStringList out;
    const QDir dir(root);
    const std::filesystem::path base(QFile::encodeName(root).constData());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base))
        if (entry.is_regular_file())
            out << dir.relativeFilePath(QFile::decodeName(entry.path().c_str()));
    return out;
}

// Moves staged files over their places in DB/; the replaced ones wait in `kept` and go
// back when a move fails.
class Replacement {
public:
    Replacement(QString stage, QString target, QString kept)
        : m_stage(std::move(stage)), m_target(std::move(target)), m_kept(std::move(kept))
    {
    }

    void moveIn(const QStringList& files)
    {
        try {
            for (const QString& rel : files)
                moveOne(rel);
        } catch (const slip::Error&) {
            undo();
            throw;
        }
    }

private:
    void moveOne(const QString& rel)
    {
        const QString target = m_target + rel;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            throw ArchiveError(QStringLiteral("Cannot make the folder of '%1'").arg(target));
        const bool existed = QFileInfo::exists(target);
        if (existed) {
            QDir().mkpath(QFileInfo(m_kept + rel).absolutePath());
            rename(target, m_kept + rel);
        }
        m_done.push_back({rel, existed});
        rename(m_stage + rel, target);
    }

    void undo()
    {
        // Best effort: a file that cannot go back stays in the staging folder's copy.
        for (auto it = m_done.rbegin(); it != m_done.rend(); ++it) {
            const QString target = m_target + it->first;
            if (it->second)
                tryRename(m_kept + it->first, target);
            else
                QFile::remove(target);
        }
    }

    QString m_stage, m_target, m_kept;
    std::vector<std::pair<QString, bool>> m_done;
};

} // namespace

QString BeforeRestorePath(const QString& programFolder, const QDateTime& now)
{
    return BackupFolder(programFolder) + QLatin1Char('/') + now.toString(QStringLiteral("yyyyMMddhhmmss"))
           + QStringLiteral("-before-restore.GZBK");
}

void RestoreDatabaseFolder(db::Connection& conn, const QString& programFolder, const QString& archivePath,
                           const QDateTime& now)
{
    const QString dbFolder = QFileInfo(programFolder + schema::kDatabaseFile).absolutePath() + QLatin1Char('/');
    const QString dbName = QFileInfo(schema::kDatabaseFile).fileName();
    QTemporaryDir work(programFolder + QStringLiteral("restore-XXXXXX")); // same disk as DB/: moves are renames
    if (!work.isValid())
        throw ArchiveError(QStringLiteral("Cannot make a staging folder: %1").arg(work.errorString()));
    const QString stage = work.filePath(QStringLiteral("new")) + QLatin1Char('/');
    const QString kept = work.filePath(QStringLiteral("old")) + QLatin1Char('/');

    {
        ZipArchive archive(archivePath, ZipArchive::Mode::Read);
        for (const ArchiveMember& m : archive.members()) {
            const QString rel = safeRelativePath(m);
            if (rel.isEmpty())
                continue;
            const QString target = stage + rel;
            if (!QDir().mkpath(m.isFolder ? target : QFileInfo(target).absolutePath()))
                throw ArchiveError(QStringLiteral("Cannot make the folder of '%1'").arg(target));
            if (!m.isFolder)
                archive.extract(m, target);
        }
    }
    const bool replacesDatabase = QFileInfo::exists(stage + dbName);
    if (replacesDatabase)
        schema::CheckDatabaseFile(stage + dbName);
    // The check may leave the engine's journal files; they are no member.
    for (const char* tail : {"-wal", "-shm"})
        QFile::remove(stage + dbName + QLatin1String(tail));

    QDir().mkpath(BackupFolder(programFolder));
    BackupDatabaseFolder(conn, programFolder, BeforeRestorePath(programFolder, now));
    conn.close();
    // A journal left beside the old database must not be applied to the restored one.
    if (replacesDatabase)
        for (const char* tail : {"-wal", "-shm"})
            QFile::remove(dbFolder + dbName + QLatin1String(tail));
    Replacement(stage, dbFolder, kept).moveIn(stagedFiles(stage));
    // Folders stored in the archive are made even when empty.
    QDirIterator it(stage, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        QDir().mkpath(dbFolder + QDir(stage).relativeFilePath(it.next()));
}

} // namespace maintenance
