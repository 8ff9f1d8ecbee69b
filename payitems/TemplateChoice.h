#pragma once
#include <QString>

namespace db {
class Connection;
}

namespace payitems {

// Which payslip layout a month prints with: the file stem under RPT/ (".RAV" for strips,
// ".xls" for workbooks) and whether the columns are spread over the fixed widths.
struct TemplateChoice {
    QString stem;
    bool fitted = false;
    bool operator==(const TemplateChoice&) const = default;
};

// printDays is TPara.PrintDays as text (empty reads as "0"); deductions and earnings are
// the counts of enabled items. First match wins: day printing on, no deductions, then the
// four combinations of up to 5 deductions and up to 10 earnings.
TemplateChoice ChooseTemplate(const QString& printDays, int deductions, int earnings);

// The choice for a month: its enabled items counted, with the payslips' fallback to BASE.
// Throws db::DbError.
TemplateChoice ChooseMonthTemplate(db::Connection& conn, const QString& month, int printDays);

} // namespace payitems
