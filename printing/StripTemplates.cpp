#include "printing/StripTemplates.h"
#include "printing/Strips.h"

namespace printing {

namespace {

using report::Component;
using report::Kind;

constexpr double kPageWidth = 8.27, kPageHeight = 11.69;
constexpr double kCell = 0.6;   // a column of ten in 6.0 in
constexpr double kRow = 0.26;   // a caption or amount row
constexpr int kPerLine = 10;

Component* add(Component* parent, Kind kind, const QString& name, double left, double top, double width, double height)
{
    auto c = std::make_unique<Component>();
    c->kind = kind;
    c->name = name;
    c->left = left;
    c->top = top;
    c->width = width;
    c->height = height;
    return parent->add(std::move(c));
}

Component* label(Component* band, const QString& text, double left, double top, double width, int align = 0, bool bold = false)
{
    Component* t = add(band, Kind::Text, QString(), left, top, width, kRow);
    t->text = text;
    t->autoSize = false;
    t->alignment = align;
    t->bold = bold;
    return t;
}

Component* field(Component* band, const QString& name, const QString& dataField, double left, double top, double width,
                 int align = 0, bool bold = false)
{
    Component* d = add(band, Kind::DataText, name, left, top, width, kRow);
    d->dataField = dataField;
    d->alignment = align;
    d->bold = bold;
    return d;
}

// Caption and amount cells of one side: `count` columns, ten a line, from `top`. The
// cells start blank and hidden; printing fills the month's items. Returns the next top.
double itemCells(Component* band, const QString& group, const QString& caption, const QString& amount, const QString& upper,
                 const QString& lower, int count, double top)
{
    const int lines = (count + kPerLine - 1) / kPerLine;
    label(band, group, 0.1, top, 0.58, 1, true)->height = 2 * kRow * lines;
    for (int k = 1; k <= count; ++k) {
        const double x = kColumnsLeft + kCell * ((k - 1) % kPerLine);
        const double y = top + 2 * kRow * ((k - 1) / kPerLine);
        Component* frameTop = add(band, Kind::Rectangle, upper + QString::number(k), x, y, kCell, kRow);
        Component* frameBottom = add(band, Kind::Rectangle, lower + QString::number(k), x, y + kRow, kCell, kRow);
        frameTop->visible = frameBottom->visible = false;
        Component* text = add(band, Kind::Text, caption + QString::number(k), x + 0.05, y, 0, kRow);
        text->text = QStringLiteral(" ");
        field(band, amount + QString::number(k), QStringLiteral(" "), x + 0.02, y + kRow, kCell - 0.06, 2);
    }
    return top + 2 * kRow * lines;
}

} // namespace

report::Project BuildStripTemplate(const payitems::TemplateLayout& layout)
{
    auto root = std::make_unique<Component>();
    root->kind = Kind::Report;
    Component* report = add(root.get(), Kind::Report, QStringLiteral("Report1"), 0, 0, 0, 0);
    Component* page = add(report, Kind::Page, QStringLiteral("Page1"), 0, 0, kPageWidth, kPageHeight);
    Component* region = add(page, Kind::Region, QStringLiteral("Region1"), 0, kRegionTop, kPageWidth, kPageHeight - kRegionTop);
    Component* band = add(region, Kind::Band, QStringLiteral("DataBand1"), 0, 0, kPageWidth, 0);
    band->dataSource = kSheetSourceName;

    double y = 0.05;
    Component* title = add(band, Kind::Text, QStringLiteral("TextTitle"), kColumnsLeft, y, 6.0, 0.34);
    title->text = QStringLiteral("工资单");
    title->autoSize = false;
    title->alignment = 1;
    title->fontSize = 13;
    title->bold = true;
    y += 0.36;
    // The employee: month, department, name, position (and the days).
    label(band, QStringLiteral("月份："), 0.7, y, 0.45);
    field(band, QStringLiteral("DataTextMonth"), QStringLiteral("GZMonth"), 1.15, y, 0.8);
    label(band, QStringLiteral("部门："), 2.0, y, 0.45);
    field(band, QStringLiteral("DataTextDepart"), QStringLiteral("DepartName"), 2.45, y, 1.2);
    label(band, QStringLiteral("姓名："), 3.7, y, 0.45);
    field(band, QStringLiteral("DataTextName"), QStringLiteral("EmpName"), 4.15, y, 1.0, 0, true);
    label(band, QStringLiteral("职务："), 5.2, y, 0.45);
    field(band, QStringLiteral("DataTextPost"), QStringLiteral("ZWName"), 5.65, y, 1.05);
    y += kRow;
    if (layout.days) {
        label(band, QStringLiteral("出勤天数："), 0.7, y, 0.75);
        field(band, QStringLiteral("DataTextDays"), QStringLiteral("WorkDays"), 1.45, y, 0.6);
        label(band, QStringLiteral("工资/天："), 2.2, y, 0.7);
        field(band, QStringLiteral("DataTextRate"), QStringLiteral("OneDayMOney"), 2.9, y, 0.8);
        y += kRow;
    }
    y += 0.06;
    y = itemCells(band, QStringLiteral("应发"), QStringLiteral("TextA"), QStringLiteral("DataTextA"), QStringLiteral("RectangleA"),
                  QStringLiteral("RectangleB"), layout.earnings, y);
    y += 0.06;
    // Totals beside five deductions; below ten of them or none.
    const bool totalsBeside = layout.deductions > 0 && layout.deductions <= 5;
    const double totalsTop = y;
    if (layout.deductions > 0)
        y = itemCells(band, QStringLiteral("应扣"), QStringLiteral("TextC"), QStringLiteral("DataTextC"), QStringLiteral("RectangleC"),
                      QStringLiteral("RectangleD"), layout.deductions, y);
    double tx = 3.9, ty = totalsBeside ? totalsTop : y + 0.06;
    if (!totalsBeside)
        tx = 0.7;
    label(band, QStringLiteral("应发合计："), tx, ty, 0.8);
    field(band, QStringLiteral("DataTextYF"), QStringLiteral("YFTotal"), tx + 0.8, ty, 0.9, 2);
    label(band, QStringLiteral("应扣合计："), tx + 1.8, ty, 0.8);
    field(band, QStringLiteral("DataTextKK"), QStringLiteral("KKTotal"), tx + 2.6, ty, 0.9, 2);
    ty += kRow;
    label(band, QStringLiteral("实发工资："), tx, ty, 0.8, 0, true);
    field(band, QStringLiteral("DataTextSF"), QStringLiteral("GZTotal"), tx + 0.8, ty, 0.9, 2, true);
    label(band, QStringLiteral("签收："), tx + 1.8, ty, 0.5);
    add(band, Kind::Line, QStringLiteral("LineSign"), tx + 2.3, ty + kRow - 0.04, 1.2, 0);
    y = std::max(y, ty + kRow) + 0.12;
    // The cut line between strips.
    Component* cut = add(band, Kind::Line, QStringLiteral("LineCut"), 0.3, y, kPageWidth - 0.6, 0);
    cut->dashed = true;
    band->height = y + 0.1;

    report::Project project;
    project.setRoot(std::move(root));
    return project;
}

} // namespace printing
