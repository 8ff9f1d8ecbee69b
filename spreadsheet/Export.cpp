#include "spreadsheet/Export.h"

#include "common/uCommon.h"
#include "paysheet/ShownSheet.h"
#include "platform/db/Connection.h"
#include "platform/sheetapp/SheetApp.h"
#include "platform/ui/Ui.h"

#include <QDateTime>

namespace {

const QString kEarnings = QStringLiteral("应发工资");
const QString kDeductions = QStringLiteral("应扣/代扣工资");

// A value's plain text: amounts in full precision, date-times in the stored form.
QString plainText(const paysheet::ShownSheet& sheet, int row, int column)
{
    const paysheet::ShownColumn& col = sheet.columns.at(size_t(column));
    if (!col.hasField)
        return sheet.texts.at(size_t(row)).at(column);
    const QVariant& v = sheet.values.at(size_t(row)).at(size_t(column));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QString::fromLatin1(db::kStoredDateTimeFormat));
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

struct Groups {
    int earningsStart = 0, earningsEnd = 0, deductionsStart = 0, deductionsEnd = 0;
};

// Rows 1 and 2: the headings; returns where the two groups lie.
Groups writeHeadings(sheetapp::Application& app, const paysheet::ShownSheet& sheet)
{
    Groups g;
    int out = 0;
    for (const paysheet::ShownColumn& col : sheet.columns) {
        if (!col.visible)
            continue;
        const int column = out + 1;
        const qsizetype bar = col.title.indexOf(QLatin1Char('|'));
        if (bar < 0) {
            WaitWithMessages(app.settleMs(100));
            const QString name = sheetapp::ColumnName(column);
            // A merge the application refuses leaves the cells apart; the export goes on.
            ui::Quietly([&] { app.mergeRange(name + QStringLiteral("1:") + name + QStringLiteral("2")); });
            app.setCellValue(1, column, col.title);
            FormatExcelCell(app, 1, column);
            FormatExcelCell(app, 2, column);
        } else {
            if (g.earningsStart == 0 && col.title.contains(kEarnings))
                g.earningsStart = column;
            if (g.deductionsStart == 0 && col.title.contains(kDeductions))
                g.deductionsStart = column;
            if (col.title == kEarnings + QStringLiteral("|合计"))
                g.earningsEnd = column;
            if (col.title == kDeductions + QStringLiteral("|合计"))
                g.deductionsEnd = column;
            app.setCellValue(1, column, col.title.left(bar));
            FormatExcelCell(app, 1, column);
            app.setCellValue(2, column, col.title.mid(bar + 1));
            FormatExcelCell(app, 2, column);
        }
        ++out;
    }
    return g;
}

QString groupRange(int start, int end)
{
    return sheetapp::ColumnName(start) + QStringLiteral("1:") + sheetapp::ColumnName(end) + QStringLiteral("1");
}

} // namespace

void FormatExcelCell(sheetapp::Application& app, int row, int column)
{
    sheetapp::CellFormat f;
    f.wrapText = true;
    if (row == 1 || row == 2)
        f.horizontalAlignment = sheetapp::xlCenterAcrossSelection;
    f.verticalAlignment = sheetapp::xlCenter;
    f.lineStyle = sheetapp::xlContinuous;
    f.weight = sheetapp::xlThin;
    f.fontName = QStringLiteral("宋体 ");
    f.fontStyle = QStringLiteral("加粗 ");
    app.setCellFormat(row, column, f);
}

void SendGridToExcel(const QString& title, const paysheet::ShownSheet& sheet)
{
    if (!sheet.open) {
        ui::ShowError(QStringLiteral("查询过程没有执行，没有数据库可以发送！"));
        return;
    }
    std::unique_ptr<sheetapp::Application> app;
    try {
        app = sheetapp::CreateApplication();
    } catch (const slip::Error&) {
        ui::ShowError(kNoSpreadsheetProgram);
        return;
    }
    app->addWorkbook();
    app->setCellValue(1, 1, title);
    const Groups g = writeHeadings(*app, sheet);
    WaitWithMessages(app->settleMs(50));
    // A failing group merge is ignored, and skips the second one.
    ui::Quietly([&] {
        if (g.earningsStart > 0)
            app->mergeRange(groupRange(g.earningsStart, g.earningsEnd));
        WaitWithMessages(app->settleMs(50));
        if (g.deductionsStart > 0)
            app->mergeRange(groupRange(g.deductionsStart, g.deductionsEnd));
    });
    int row = 3;
    for (int r = 0; r < sheet.rowCount(); ++r, ++row) {
        int out = 0;
        for (int c = 0; c < sheet.columnCount(); ++c) {
            if (!sheet.columns[size_t(c)].visible)
                continue;
            app->setCellValue(row, out + 1, plainText(sheet, r, c));
            FormatExcelCell(*app, row, out + 1);
            ++out;
        }
    }
    app->setCaption(title);
    app->setDisplayAlerts(false);
    app->setSheetsInNewWorkbook(1);
    // Showing the workbook is where a desktop without a program for it fails.
    ui::RunStep(kNoSpreadsheetProgram, [&] { app->setVisible(true); });
}
