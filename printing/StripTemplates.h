#pragma once
#include "platform/report/Report.h"

namespace printing {

// The layout of one delivered strip template.
struct StripLayout {
    QString stem; // file name under RPT/ without ".RAV"
    int earnings = 10;
    int deductions = 5;
    bool days = false;
};

// The six delivered layouts, one per case of the template choice.
const StripLayout* DeliveredStripLayouts(int& count);

// Builds a strip template: Report1.Page1 (A4) with Region1 and a band per pay row holding
// the title, the employee, the item captions over their amounts in ruled cells, the
// totals and a cut line.
report::Project BuildStripTemplate(const StripLayout& layout);

} // namespace printing
