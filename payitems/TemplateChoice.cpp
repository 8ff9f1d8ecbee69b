#include "payitems/TemplateChoice.h"
#include "payitems/ItemSet.h"

namespace payitems {

const std::vector<TemplateLayout>& TemplateLayouts()
{
    static const std::vector<TemplateLayout> layouts{
        {QStringLiteral("GZBillWithDay"), 20, 10, true}, {QStringLiteral("GZBillNoKK"), 20, 0, false},
        {QStringLiteral("GZBill"), 10, 5, false},        {QStringLiteral("GZBill20_5"), 20, 5, false},
        {QStringLiteral("GZBill10_10"), 10, 10, false},  {QStringLiteral("GZBill20_10"), 20, 10, false},
    };
    return layouts;
}

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

TemplateChoice ChooseMonthTemplate(db::Connection& conn, const QString& month, int printDays)
{
    const int earnings = MonthItems(conn, month, ItemType::Earnings, Reader::Payslips).enabledCount();
    const int deductions = MonthItems(conn, month, ItemType::Deductions, Reader::Payslips).enabledCount();
    return ChooseTemplate(QString::number(printDays), deductions, earnings);
}

} // namespace payitems
