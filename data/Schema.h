#pragma once
#include <QString>
#include <QStringList>

// The database file: its place, password, tables and delivered contents.
namespace schema {

// Relative to the program folder.
inline const QString kDatabaseFile = QStringLiteral("DB/ZYDB.dat");
inline const QString kDatabasePassword = QStringLiteral("mqtv31905726");
inline const QString kInitialPassword = QStringLiteral("580");
inline const QString kTemplateMonth = QStringLiteral("BASE");

// The connection string for a database file in the given program folder.
QString ConnectionStringFor(const QString& programFolder);

// CREATE statements of the four tables and their indexes.
QString TablesSql();

// The pay row columns holding amounts: GZ1..GZ20 and KK1..KK10.
QStringList EarningsColumns();
QStringList DeductionColumns();

// Writes a new delivered database at path (replacing a file there): the tables, the
// parameters row and the template items GZ1..GZ10, KK1..KK5. Throws db::DbError.
void BuildDeliveredDatabase(const QString& path);

} // namespace schema
