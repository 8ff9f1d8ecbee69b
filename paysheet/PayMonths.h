#pragma once
#include <QString>

class TDM;
namespace db {
class Connection;
}

namespace paysheet {

// "BASE", in any letter case: the template set's name, never a month's.
bool IsTemplateName(const QString& name);
// True when another month (not the one with exceptId) has this name, in any letter case,
// or when the name is the template's.
bool MonthNameTaken(TDM& dm, const QString& name, qint64 exceptId = -1);

// Month operations, each all or nothing; they throw db::DbError.
// Stores a new month row; returns its ID.
qint64 InsertMonth(db::Connection& conn, const QString& name);
void RenameMonth(db::Connection& conn, qint64 id, const QString& oldName, const QString& newName);
void DeleteMonth(db::Connection& conn, qint64 id, const QString& name);

} // namespace paysheet
