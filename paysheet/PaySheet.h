#pragma once
#include "platform/grid/RecordSetModel.h"

#include <QString>

#include <vector>

namespace db {
class Connection;
}
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

// How a month's item set shows in the sheet: per earnings and deduction column, its
// caption and whether it is enabled (k-th item to k-th column, BASE when the month has no
// items of that type).
struct ItemTitles {
    std::vector<std::pair<QString, bool>> earnings;
    std::vector<std::pair<QString, bool>> deductions;
    bool anyDeductionEnabled() const;
};
ItemTitles ReadItemTitles(db::Connection& conn, const QString& month); // throws db::DbError

// Puts the titles and visibility into the grid; day columns follow printDays == 1.
void ApplyItemTitles(grid::DBGrid& grid, const ItemTitles& titles);
void ApplyDayColumns(grid::DBGrid& grid, int printDays);

// Month operations, each all or nothing; they throw db::DbError.
bool IsTemplateName(const QString& name);
void RenameMonth(db::Connection& conn, qint64 id, const QString& oldName, const QString& newName);
void DeleteMonth(db::Connection& conn, qint64 id, const QString& name);

} // namespace paysheet
