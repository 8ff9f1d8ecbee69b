#pragma once
#include <QDate>
#include <QString>

namespace db {
class Connection;
}

namespace maintenance {

// Backup archives: ZIP files of every file directly in DB/, under their bare names.
inline const QString kBackupFilter = QStringLiteral("工资条数据库备份(*.GZBK)|*.GZBK");

// The folder offered for backups and the name proposed for one taken on `day`:
// "Bak/yyyyMMdd.GZBK" in the program folder.
QString BackupFolder(const QString& programFolder);
QString ProposedBackupPath(const QString& programFolder, const QDate& day);

// Writes the files directly in the program folder's DB/ into the archive at path. The
// open database goes in as a consistent copy of everything committed; the engine's own
// journal files stay out. An existing archive is brought up to date: the database always and
// other files newer than their member are replaced, new files added, other members kept.
// Throws slip::Error (archive or database); an existing archive is then unchanged.
void BackupDatabaseFolder(const db::Connection& conn, const QString& programFolder, const QString& path);

} // namespace maintenance
