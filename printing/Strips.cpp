#include "printing/Strips.h"

#include "common/Text.h"
#include "data/uDM.h"
#include "payitems/ItemSet.h"
#include "payitems/TemplateChoice.h"
#include "paysheet/ShownSheet.h"
#include "platform/db/RecordSet.h"
#include "platform/ui/Ui.h"

namespace printing {

namespace {

report::Component* component(report::Project& project, const QString& name)
{
    report::Component* page = project.findComponent(kStripPage);
    return page ? page->find(name) : nullptr;
}

// Fills the caption, amount and frame components of one side, and empties the rest.
void fillColumns(report::Project& project, const std::vector<payitems::PayItem>& items, const QString& caption,
                 const QString& amount, const QString& upper, const QString& lower, double room, int columns, bool fit)
{
    const int r = int(items.size());
    const double w = r > 0 ? room / r : room;
    for (int k = 1; k <= r; ++k) {
        const payitems::PayItem& item = items[size_t(k - 1)];
        SetRavText(project, caption + QString::number(k), item.name, k, w, fit);
        SetRavDataText(project, amount + QString::number(k), item.field, k, w, fit);
        SetRavRectangle(project, upper + QString::number(k), k, w, true, fit);
        SetRavRectangle(project, lower + QString::number(k), k, w, true, fit);
    }
    for (int k = r + 1; k <= columns; ++k) {
        SetRavTextOnly(project, caption + QString::number(k), QStringLiteral(" "));
        if (report::Component* c = component(project, amount + QString::number(k)))
            c->dataField = QStringLiteral(" ");
        SetRavRectangle(project, upper + QString::number(k), k, w, false, false);
        SetRavRectangle(project, lower + QString::number(k), k, w, false, false);
    }
}

} // namespace

void SetPageHeight(report::Project& project, double millimetres)
{
    report::Component* page = project.findComponent(kStripPage);
    if (!page)
        return;
    page->height = millimetres * kMmToInch;
    page->customSize = true;
    if (report::Component* region = page->find(QStringLiteral("Region1"))) {
        region->top = kRegionTop;
        region->height = millimetres * kMmToInch - kRegionShortfall;
    }
}

void SetRavTextOnly(report::Project& project, const QString& name, const QString& text)
{
    if (report::Component* c = component(project, name))
        c->setText(text);
}

void SetRavText(report::Project& project, const QString& name, const QString& text, int column, double width, bool fit)
{
    report::Component* c = component(project, name);
    if (!c)
        return;
    c->setText(text);
    if (fit)
        c->left = (width - c->shownWidth()) / 2 + width * (column - 1) + kColumnsLeft;
    if (GbkLength(text) > kCaptionBytes) {
        c->fontSize = kSmallFont;
        c->setText(text); // the width follows the font
    }
    // A caption still wider than its column wraps inside it instead of running into the next.
    if (fit && c->shownWidth() > width) {
        c->autoSize = false;
        c->left = width * (column - 1) + kColumnsLeft;
        c->width = width;
        c->alignment = 1;
    }
}

void SetRavDataText(report::Project& project, const QString& name, const QString& field, int column, double width, bool fit)
{
    report::Component* c = component(project, name);
    if (!c)
        return;
    c->dataField = field;
    if (fit)
        c->left = width * column + kColumnsLeft - c->width;
}

void SetRavRectangle(report::Project& project, const QString& name, int column, double width, bool visible, bool fit)
{
    report::Component* c = component(project, name);
    if (!c)
        return;
    if (fit) {
        c->left = width * (column - 1) + kColumnsLeft;
        c->width = width;
    }
    c->visible = visible;
}

void PrepareStrips(report::Project& project, TDM& dm, const QString& programFolder, const QString& month)
{
    db::Connection& conn = dm.ADOLocal;
    const std::vector<payitems::PayItem> earnings =
        payitems::MonthItems(conn, month, payitems::ItemType::Earnings, payitems::Reader::Payslips).items;
    const std::vector<payitems::PayItem> deductions =
        payitems::MonthItems(conn, month, payitems::ItemType::Deductions, payitems::Reader::Payslips).items;
    const QString h = dm.GetDataBySQL(QStringLiteral("Select [BillHeight] from TPara"));
    const QString p = dm.GetDataBySQL(QStringLiteral("Select PrintDays from TPara"));
    const double height = h.isEmpty() ? kDefaultBillHeight : h.toDouble();
    const int d = int(deductions.size()), e = int(earnings.size());
    const payitems::TemplateChoice choice = payitems::ChooseTemplate(p.isEmpty() ? QStringLiteral("0") : p, d, e);

    project.setProjectFile(programFolder + QStringLiteral("RPT/") + choice.stem + QStringLiteral(".RAV"));
    project.close();
    project.open();
    SetPageHeight(project, height);
    SetRavTextOnly(project, QStringLiteral("TextTitle"),
                   dm.GetDataBySQL(QStringLiteral("Select EntName from TPara")) + QStringLiteral("工资单"));
    const bool fit = choice.fitted;
    fillColumns(project, earnings, QStringLiteral("TextA"), QStringLiteral("DataTextA"), QStringLiteral("RectangleA"),
                QStringLiteral("RectangleB"), kEarningsWidth, fit ? 10 : 20, fit);
    // Without deductions the template's own deduction components stay as designed.
    if (!deductions.empty())
        fillColumns(project, deductions, QStringLiteral("TextC"), QStringLiteral("DataTextC"), QStringLiteral("RectangleC"),
                    QStringLiteral("RectangleD"), kDeductionsWidth, 10, fit);
}

report::TableSource SheetSource(const paysheet::ShownSheet& sheet, const QString& amountFormat)
{
    QStringList fields;
    for (const paysheet::ShownColumn& c : sheet.columns)
        fields << c.field;
    std::vector<QStringList> rows;
    rows.reserve(size_t(sheet.rowCount()));
    for (int r = 0; r < sheet.rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < sheet.columnCount(); ++c) {
            const paysheet::ShownColumn& col = sheet.columns[size_t(c)];
            const QVariant& v = sheet.values[size_t(r)][size_t(c)];
            if (col.hasField && col.type == db::FieldType::Float && col.field.compare(QLatin1String("WorkDays"), Qt::CaseInsensitive) != 0)
                row << (v.isNull() ? QString() : FormatFloat(v.toDouble(), amountFormat));
            else
                row << sheet.texts[size_t(r)][c];
        }
        rows.push_back(row);
    }
    return report::TableSource(fields, std::move(rows));
}

report::TableSource ParameterSource(TDM& dm)
{
    const QStringList fields{QStringLiteral("EntName"), QStringLiteral("BillHeight"), QStringLiteral("PrintDays"),
                             QStringLiteral("ShowFloat"), QStringLiteral("ClientVer")};
    QStringList row;
    // One read of the row; a row that cannot be read prints nothing of it.
    ui::Quietly([&] {
        db::Statement st(dm.ADOLocal, QStringLiteral("Select %1 from TPara").arg(fields.join(QLatin1Char(','))));
        if (st.step())
            for (int i = 0; i < fields.size(); ++i)
                row << st.columnValue(i).toString();
    });
    return report::TableSource(fields, {row});
}

} // namespace printing
