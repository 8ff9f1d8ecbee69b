#pragma once
#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

namespace maintenance {

// The statements that clear the pay data, in order.
QStringList ClearingStatements();

// Deletes every pay month and pay row in one transaction; item sets and parameters stay.
// Throws db::DbError; nothing is deleted then.
void ClearPayData(db::Connection& conn, const QStringList& statements = ClearingStatements());

// Deletes every file below the program folder's DB/ContractFile/; its folders stay, and
// a missing folder or a file that cannot be deleted is no failure.
void ClearContractFiles(const QString& programFolder);

} // namespace maintenance
