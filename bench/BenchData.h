#pragma once
#include <QString>

namespace db {
class Connection;
}

namespace bench {

inline const QString kMonth = QStringLiteral("202612");

// Adds a month with a full, enabled item set and `rows` pay rows of plausible people and
// amounts (the same ones every time).
void FillMonth(db::Connection& conn, const QString& month, int rows);

} // namespace bench
