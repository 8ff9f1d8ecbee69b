#include "maintenance/Backup.h"
#include "maintenance/Archive.h"

#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace maintenance {

namespace {

// The engine's journal files beside the database: its copy has everything in them.
bool isJournalOf(const QString& name, const QString& database)
{
    for (const char* tail : {"-wal", "-shm", "-journal"})
        if (name.compare(database + QLatin1String(tail), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A member's stored time keeps two-second steps.
bool newerThanMember(const QFileInfo& file, const ZipArchive& archive, const std::vector<ArchiveMember>& members)
{
    const qint64 index = archive.find(file.fileName());
    if (index < 0)
        return true;
    const ArchiveMember& m = members.at(size_t(index)); // members are listed by index
    return !m.modified.isValid() || file.lastModified().toSecsSinceEpoch() > m.modified.toSecsSinceEpoch() + 1;
}

} // namespace

QString BackupFolder(const QString& programFolder)
{
    return programFolder + QStringLiteral("Bak");
}

QString ProposedBackupPath(const QString& programFolder, const QDate& day)
{
    return BackupFolder(programFolder) + QLatin1Char('/') + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".GZBK");
}

void BackupDatabaseFolder(const db::Connection& conn, const QString& programFolder, const QString& path)
{
    const QFileInfo database(programFolder + schema::kDatabaseFile);
    const QDir folder = database.absoluteDir();
    QTemporaryDir work;
    if (!work.isValid())
        throw ArchiveError(QStringLiteral("Cannot make a working folder: %1").arg(work.errorString()));
    const QString snapshot = work.filePath(database.fileName());
    conn.backupTo(snapshot);

    ZipArchive archive(path, ZipArchive::Mode::Update);
    const std::vector<ArchiveMember> members = archive.members();
    const QFileInfoList files = folder.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& file : files) {
        if (isJournalOf(file.fileName(), database.fileName()))
            continue;
        if (file.fileName() == database.fileName())
            archive.putFile(file.fileName(), snapshot, QDateTime::currentDateTime());
        else if (newerThanMember(file, archive, members))
            archive.putFile(file.fileName(), file.absoluteFilePath(), file.lastModified());
    }
    archive.close();
}

} // namespace maintenance
