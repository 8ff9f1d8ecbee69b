#pragma once
#include <QString>

#include <vector>

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

// What each delivered template holds, strips and workbooks alike: its file stem, its
// earnings and deduction columns and whether it shows the days worked and day rate.
struct TemplateLayout {
    QString stem;
    int earnings = 10;
    int deductions = 5;
    bool days = false;
};

// The six delivered templates, one for each case of the choice below.
const std::vector<TemplateLayout>& TemplateLayouts();

// printDays is TPara.PrintDays as text (empty reads as "0"); deductions and earnings are
// the counts of enabled items. First match wins: day printing on, no deductions, then the
// four combinations of up to 5 deductions and up to 10 earnings.
TemplateChoice ChooseTemplate(const QString& printDays, int deductions, int earnings);

// The choice for a month: its enabled items counted, with the payslips' fallback to BASE.
// Throws db::DbError.
TemplateChoice ChooseMonthTemplate(db::Connection& conn, const QString& month, int printDays);

} // namespace payitems
