#include "spreadsheet/PayslipTemplates.h"

#include "platform/xls/XlsWriter.h"

namespace spreadsheet {

namespace {

constexpr int kItemsPerLine = 5;
constexpr int kColumns = 1 + kItemsPerLine; // a label column and the item columns

xls::Format cell(xls::HAlign h, bool bold = false)
{
    xls::Format f;
    f.border = true;
    f.wrap = true;
    f.bold = bold;
    f.halign = h;
    f.valign = xls::VAlign::Center;
    return f;
}

class Sheet {
public:
    Sheet(xls::WorkbookWriter& w, int sheet) : m_w(w), m_sheet(sheet) {}

    void text(int row, int col, const QString& t, const xls::Format& f) { m_w.setText(m_sheet, row, col, t, f); }
    // A ruled area [firstCol, lastCol] of rows, merged, holding one text.
    void block(int firstRow, int lastRow, int firstCol, int lastCol, const QString& t, const xls::Format& f)
    {
        for (int r = firstRow; r <= lastRow; ++r)
            for (int c = firstCol; c <= lastCol; ++c)
                m_w.setBlank(m_sheet, r, c, f);
        text(firstRow, firstCol, t, f);
        if (firstRow != lastRow || firstCol != lastCol)
            m_w.merge(m_sheet, {firstRow, lastRow, firstCol, lastCol});
    }

private:
    xls::WorkbookWriter& m_w;
    int m_sheet;
};

// Caption lines over amount lines for `count` items, ten a line; returns the next row.
int itemLines(Sheet& s, int row, const QString& group, const QString& captionKey, const QString& amountKey, int count)
{
    const int lines = (count + kItemsPerLine - 1) / kItemsPerLine;
    s.block(row, row + 2 * lines - 1, 0, 0, group, cell(xls::HAlign::Center, true));
    for (int line = 0; line < lines; ++line) {
        for (int k = 0; k < kItemsPerLine; ++k) {
            const int n = line * kItemsPerLine + k + 1;
            const bool used = n <= count;
            s.block(row, row, k + 1, k + 1, used ? QStringLiteral("[%1%2]").arg(captionKey).arg(n) : QString(),
                    cell(xls::HAlign::Center));
            s.block(row + 1, row + 1, k + 1, k + 1, used ? QStringLiteral("[%1%2]").arg(amountKey).arg(n) : QString(),
                    cell(xls::HAlign::Right));
        }
        row += 2;
    }
    return row;
}

} // namespace

void WritePayslipTemplate(const QString& path, const payitems::TemplateLayout& layout)
{
    xls::WorkbookWriter w;
    const int sheet = w.addSheet(QStringLiteral("Sheet1"));
    Sheet s(w, sheet);
    const auto left = cell(xls::HAlign::Center, true);
    const auto value = cell(xls::HAlign::Left);
    const auto amount = cell(xls::HAlign::Right);

    // Row 1 names the columns for the driver and is never searched.
    w.setText(sheet, 0, 0, QStringLiteral("电子工资条"));
    s.block(1, 1, 0, kColumns - 1, QStringLiteral("[单位名称]工资单"), cell(xls::HAlign::Center, true));
    int row = 2;
    s.block(row, row, 0, 0, QStringLiteral("姓名"), left);
    s.block(row, row, 1, 1, QStringLiteral("[EmpName]"), value);
    s.block(row, row, 2, 2, QStringLiteral("月份"), left);
    s.block(row, row, 3, 3, QStringLiteral("[GZMonth]"), value);
    s.block(row, row, 4, 4, QStringLiteral("序号"), left);
    s.block(row, row, 5, 5, QStringLiteral("[SortIdx]"), value);
    ++row;
    if (layout.days) {
        s.block(row, row, 0, 0, QStringLiteral("出勤天数"), left);
        s.block(row, row, 1, 1, QStringLiteral("[WorkDays]"), amount);
        s.block(row, row, 2, 2, QStringLiteral("工资/天"), left);
        s.block(row, row, 3, 3, QStringLiteral("[OneDayMOney]"), amount);
        s.block(row, row, 4, 5, QString(), value);
        ++row;
    }
    row = itemLines(s, row, QStringLiteral("应发项目"), QStringLiteral("工资项目"), QStringLiteral("GZ"), layout.earnings);
    if (layout.deductions > 0)
        row = itemLines(s, row, QStringLiteral("应扣项目"), QStringLiteral("扣款项目"), QStringLiteral("KK"), layout.deductions);
    s.block(row, row, 0, 0, QStringLiteral("应发合计"), left);
    s.block(row, row, 1, 1, QStringLiteral("[YFTotal]"), amount);
    s.block(row, row, 2, 2, QStringLiteral("应扣合计"), left);
    s.block(row, row, 3, 3, QStringLiteral("[KKTotal]"), amount);
    s.block(row, row, 4, 4, QStringLiteral("实发工资"), left);
    s.block(row, row, 5, 5, QStringLiteral("[GZTotal]"), cell(xls::HAlign::Right, true));
    ++row;
    s.block(row, row, 0, 0, QStringLiteral("签收"), left);
    s.block(row, row, 1, kColumns - 1, QString(), value);

    // Six columns across A4 upright.
    w.setColumnWidth(sheet, 0, 8);
    for (int c = 1; c < kColumns; ++c)
        w.setColumnWidth(sheet, c, 11);
    w.save(path);
}

} // namespace spreadsheet
