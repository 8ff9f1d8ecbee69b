#pragma once
#include <QString>

namespace spreadsheet {

// The layout of one delivered payslip workbook: how many earnings and deduction slots it
// holds and whether it shows days worked and the day rate.
struct PayslipLayout {
    QString stem; // file name under RPT/ without ".xls"
    int earnings = 10;
    int deductions = 5;
    bool days = false;
};

// The six delivered layouts, one per case of the template choice.
const PayslipLayout* DeliveredLayouts(int& count);

// Writes a payslip template workbook: Sheet1 with a first row the driver takes as column
// names, then the title, the employee, the items' captions over their amounts and the
// totals, in ruled cells, as placeholders. Throws xls::XlsError.
void WritePayslipTemplate(const QString& path, const PayslipLayout& layout);

} // namespace spreadsheet
