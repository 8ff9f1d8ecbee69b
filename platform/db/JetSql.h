#pragma once
#include <QString>

namespace db {

// Rewrites the few forms of the system's SQL dialect that SQLite spells differently
// ("Select Top N ..." becomes "... LIMIT N"); everything else passes unchanged.
QString translateJetSql(const QString& sql);

// The table named after the first FROM of a statement, without brackets; empty when none.
QString tableOfStatement(const QString& sql);

} // namespace db
