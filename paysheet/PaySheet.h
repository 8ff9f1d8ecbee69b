#pragma once
#include "payitems/ItemSet.h"
#include "platform/grid/RecordSetModel.h"

#include <QString>

#include <vector>

namespace db {
class Connection;
class RecordSet;
} // namespace db
namespace grid {
class DBGrid;
}

namespace paysheet {

inline const QString kEarningsGroup = QStringLiteral("应发工资");
inline const QString kDeductionsGroup = QStringLiteral("应扣/代扣工资");
inline const QString kInitialCaption = QStringLiteral("月度[XXXX]工资发放明细表");

// The sheet's panel caption for a month.
QString SheetCaption(const QString& month);

// The 44 columns of the pay sheet, in order, before any item set is applied.
std::vector<grid::Column> SheetColumns();

// Columns whose display format and footer follow the amount format: GZ1 .. GZTotal.
bool IsAmountColumn(const QString& fieldName);
// Every floating-point field of a pay row: the amounts, the totals, days and rate.
QStringList FloatFields();

// How a month's item set shows in the sheet: per side, the k-th item heads the k-th
// column (BASE's items when the month has none of that side).
struct ItemTitles {
    payitems::ItemList earnings;
    payitems::ItemList deductions;
    bool anyDeductionEnabled() const { return deductions.enabledCount() > 0; }
};
ItemTitles ReadItemTitles(db::Connection& conn, const QString& month); // throws db::DbError

// Puts the titles and visibility into the grid; day columns follow printDays == 1.
void ApplyItemTitles(grid::DBGrid& grid, const ItemTitles& titles);
void ApplyDayColumns(grid::DBGrid& grid, int printDays);

// Opens the sheet's record set on a month's rows in the default order. Throws db::DbError.
void OpenSheetRows(db::RecordSet& sheet, const QString& month);
// Opens the month list, newest first. Throws db::DbError.
void OpenMonthList(db::RecordSet& months);
// Opens the names of the months that have pay rows, descending as text. Throws db::DbError.
void OpenHistoryMonths(db::RecordSet& months);

} // namespace paysheet
