#pragma once
#include <QString>
#include <QStringList>

// The database file: its place, password, tables and delivered contents.
namespace db {
class Connection;
}

namespace schema {

// Relative to the program folder.
inline const QString kDatabaseFile = QStringLiteral("DB/ZYDB.dat");
inline const QString kDatabasePassword = QStringLiteral("mqtv31905726");
inline const QString kInitialPassword = QStringLiteral("580");
inline const QString kTemplateMonth = QStringLiteral("BASE");

// The schema version this program writes (PRAGMA user_version). A file of a lower
// version is brought up to date when it is opened; one of a higher version is refused.
// Version 1 is the layout the program was first delivered with (stamped 0 there);
// version 2 orders the name columns in Chinese and counts text lengths in GBK bytes.
inline constexpr int kSchemaVersion = 2;

// Brings an open database up to kSchemaVersion in one transaction, before anything
// else reads it. Throws db::DbError (db::NewerDatabaseError for a newer file); on
// failure the file is as it was.
void UpgradeDatabase(db::Connection& conn);

// Adds the template items GZ11..GZ20 and KK6..KK10 where BASE lacks them (compared
// without regard to letter case): disabled, captioned "工资项目". Existing items are never
// changed. All or nothing; throws db::DbError.
void StructUpdate(db::Connection& conn);

// The connection string for a database file in the given program folder.
QString ConnectionStringFor(const QString& programFolder);
// The connection string for a database file at path.
QString ConnectionStringForFile(const QString& path);

// Proves that the file at path is a database of this program that it can open: the
// password, the parameters table, a schema version not above its own. Throws db::DbError.
void CheckDatabaseFile(const QString& path);

// CREATE statements of the four tables and their indexes.
QString TablesSql();

// The pay row columns holding amounts: GZ1..GZ20 and KK1..KK10.
QStringList EarningsColumns();
QStringList DeductionColumns();

// Writes a new delivered database at path (replacing a file there): the tables, the
// parameters row and the template items GZ1..GZ10, KK1..KK5. Throws db::DbError.
void BuildDeliveredDatabase(const QString& path);

} // namespace schema
