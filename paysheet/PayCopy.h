#pragma once
#include <QDateTime>
#include <QString>

namespace db {
class Connection;
class RecordSet;
}

namespace paysheet {

// Appends a copy of every pay row of source to target (days and rate left empty, an empty
// position as one blank, LOGTime = now) and gives target the source's item set, all in
// one transaction: on failure (db::DbError) nothing has changed.
void CopyMonthData(db::Connection& conn, const QString& source, const QString& target, const QDateTime& now);

// Stores a copy of the current row of a pay sheet as a new row of its month; every field
// but ID and the row number is kept, LOGTime = now. Throws db::DbError.
void CopyPayRow(db::Connection& conn, db::RecordSet& sheet, const QDateTime& now);

// Deletes the current row of a pay sheet and writes the deletion; on failure the row is
// back in the sheet and db::DbError is thrown.
void DeleteCurrentRow(db::RecordSet& sheet);

} // namespace paysheet
