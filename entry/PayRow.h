#pragma once
#include "paysheet/RowTotals.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class TDM;
namespace db {
class Connection;
}

namespace entry {

// One pay row as the entry dialog reads and stores it.
struct PayRow {
    qint64 id = -1; // -1 until stored
    QString month, depart, name, position, remark, email;
    double workDays = 0, dayRate = 0;
    // Amount columns ("GZ1", "KK3", ...): all 30 when read; only those to write when stored.
    QHash<QString, double> amounts;
    paysheet::RowTotals totals;
    QDateTime logTime; // written for new rows only
};

// The distinct departments, names and positions offered by the entry dialog's lists:
// those of the most recently created other month, or of the month itself when it is the
// only one; pinyin order. A failing list stays empty.
struct EntryLists {
    QStringList departs, names, positions;
};
EntryLists ReadEntryLists(TDM& dm, const QString& month);

// The row of an ID; nullopt when no row has it. Throws db::DbError.
std::optional<PayRow> ReadPayRow(db::Connection& conn, qint64 id);

// Stores a new row (id -1: appended with its LOGTime) or updates the row of row.id; only
// the amount columns listed are written. Returns the row's ID. Throws db::DbError.
qint64 StorePayRow(db::Connection& conn, const PayRow& row);

} // namespace entry
