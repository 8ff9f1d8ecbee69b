#pragma once
#include "payitems/TemplateChoice.h"
#include "platform/report/Report.h"

namespace printing {

// Builds a strip template: Report1.Page1 (A4) with Region1 and a band per pay row holding
// the title, the employee, the item captions over their amounts in ruled cells, the
// totals and a cut line.
report::Project BuildStripTemplate(const payitems::TemplateLayout& layout);

} // namespace printing
