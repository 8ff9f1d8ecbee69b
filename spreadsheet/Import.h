#pragma once
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace db {
class Connection;
}
namespace paysheet {
struct ShownSheet;
}
namespace xls {
class Table;
}

namespace spreadsheet {

// One row of the import's mapping: a pay sheet column and the sheet column feeding it.
struct MappingRow {
    QString caption;  // the pay sheet title, "应发工资|岗位工资" for an item
    QString field;    // the TGZ field
    QString type;     // "CHAR"
    QString unique;   // "N", carried only
    QString required; // "N", carried only
    QString source;   // the sheet column's name; empty: not imported
};

// The importable columns of the pay sheet as shown, one line each
// ("caption field CHAR N N" and CR LF): department to e-mail, visible ones only, never
// the totals or the remark.
QString ImportFieldList(const paysheet::ShownSheet& sheet);

// The mapping rows of a field list; each line's texts are split at blanks, so a caption
// with a blank in it shifts the later texts of its line.
std::vector<MappingRow> ParseFieldList(const QString& list);

// The connection string that opens an .xls file with the spreadsheet driver.
QString SourceConnectionString(const QString& path);

// The index of the first sheet column named `name`, letter case ignored; -1 when none.
int FindField(const xls::Table& table, const QString& name);

// Maps each row whose caption names a sheet column to that column; other rows keep
// their mapping.
void MatchAutomatically(std::vector<MappingRow>& rows, const xls::Table& table);

struct ImportResult {
    int imported = 0;
    int skipped = 0;
    QList<int> skippedRows; // sheet row numbers as the spreadsheet shows them (header = 1)
};

// Called every so many rows with the rows done and the rows in all.
using ImportProgress = std::function<void(int done, int total)>;

// Adds one pay row of the month per sheet record, from the mapped columns, all in one
// transaction: a record that cannot be stored (text in an amount, a mapped column the
// sheet lacks, a text longer than its column, a field the table lacks) is skipped and
// counted, the others are kept. Throws db::DbError only when nothing could be stored
// at all (the transaction cannot start or end); nothing is then stored.
ImportResult ImportRows(db::Connection& conn, xls::Table& table, const std::vector<MappingRow>& rows,
                        const QString& month, const QDateTime& now, const ImportProgress& progress = {});

// Recomputes the three totals of every pay row of the month from its stored amounts, an
// empty amount counting 0. Throws db::DbError.
void RecomputeMonthTotals(db::Connection& conn, const QString& month);

// What the operator is told after an import.
QString ImportSummary(const ImportResult& result);

} // namespace spreadsheet
