#pragma once
#include "payitems/TemplateChoice.h"

#include <QString>

namespace spreadsheet {

// Writes a payslip template workbook: Sheet1 with a first row the driver takes as column
// names, then the title, the employee, the items' captions over their amounts and the
// totals, in ruled cells, as placeholders. Throws xls::XlsError.
void WritePayslipTemplate(const QString& path, const payitems::TemplateLayout& layout);

} // namespace spreadsheet
