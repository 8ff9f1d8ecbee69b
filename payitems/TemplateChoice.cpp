#include "payitems/TemplateChoice.h"

namespace payitems {

TemplateChoice ChooseTemplate(const QString& printDays, int deductions, int earnings)
{
    TemplateChoice c;
    // The layout mode follows the counts alone, whichever template is chosen.
    c.fitted = deductions <= 5 && earnings <= 10;
    const QString p = printDays.isEmpty() ? QStringLiteral("0") : printDays;
    if (p != QLatin1String("0"))
        c.stem = QStringLiteral("GZBillWithDay");
    else if (deductions == 0)
        c.stem = QStringLiteral("GZBillNoKK");
    else if (deductions <= 5)
        c.stem = earnings <= 10 ? QStringLiteral("GZBill") : QStringLiteral("GZBill20_5");
    else
        c.stem = earnings <= 10 ? QStringLiteral("GZBill10_10") : QStringLiteral("GZBill20_10");
    return c;
}

} // namespace payitems
