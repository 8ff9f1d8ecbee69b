#pragma once
#include <QString>

namespace paysheet {
struct ShownSheet;
}
namespace sheetapp {
class Application;
}

// Sends the pay sheet as shown to a new workbook of the spreadsheet application: the
// visible columns, the two-level headings as two merged heading rows with the earnings and
// deduction groups merged, one row per pay row from row 3, every cell formatted; then shows
// the application. Reports its own failures by message; other errors raise slip::Error and
// leave the application hidden.
void SendGridToExcel(const QString& title, const paysheet::ShownSheet& sheet);

// Bold, bordered, wrapped and vertically centred; centred across the selection in the
// heading rows.
void FormatExcelCell(sheetapp::Application& app, int row, int column);

inline const QString kNoSpreadsheetProgram = QStringLiteral("系统不能连接到Excel,请确认Excel是否安装！");
