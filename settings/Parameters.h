#pragma once
#include <QString>

class TDM;
namespace db {
class Connection;
}

namespace settings {

// The four settings the basic parameters dialog edits, as stored in TPara.
struct Parameters {
    QString companyName;
    double billHeight = 296.78; // millimetres
    int printDays = 0;
    int showFloat = 0;
};

// The stored parameters; unreadable values fall back to the defaults (empty name,
// 296.78 mm, 0, 0).
Parameters ReadParameters(TDM& dm);
// Stores them in the single TPara row, the height with two decimals. Throws db::DbError.
void SaveParameters(db::Connection& conn, const Parameters& p);

// The stored login password (null reads as empty). Throws db::DbError, also when the
// parameters row is missing.
QString ReadStoredPassword(db::Connection& conn);
// Stores a new login password. Throws db::DbError.
void StorePassword(db::Connection& conn, const QString& password);

} // namespace settings
