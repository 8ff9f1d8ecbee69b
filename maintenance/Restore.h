#pragma once
#include <QDateTime>
#include <QString>

namespace db {
class Connection;
}

namespace maintenance {

inline const QString kRestoreFilter = QStringLiteral("工资条数据备份(*.GZBK)|*.GZBK");

// Where the database folder is kept before a restore replaces it:
// "Bak/yyyyMMddhhmmss-before-restore.GZBK" in the program folder.
QString BeforeRestorePath(const QString& programFolder, const QDateTime& now);

// Puts the members of a backup archive into the program folder's DB/: folders stored in
// the archive are made below DB/, existing files replaced, other files left. The
// archive is first read whole into a staging folder and its database checked to open
// with the program's password; members with absolute paths, ".." or links are refused.
// Only then is the current database folder kept at BeforeRestorePath, the connection
// closed and the files moved in. Throws slip::Error; DB/ is then as it was (the
// connection stays open when nothing was moved).
void RestoreDatabaseFolder(db::Connection& conn, const QString& programFolder, const QString& archivePath,
                           const QDateTime& now);

} // namespace maintenance
