#pragma once
#include "platform/report/Report.h"

#include <QString>

class TDM;
namespace paysheet {
struct ShownSheet;
}

namespace printing {

inline constexpr double kMmToInch = 0.0394;
inline constexpr double kColumnsLeft = 0.7;
inline constexpr double kEarningsWidth = 6.0;
inline constexpr double kDeductionsWidth = 3.0;
inline constexpr double kRegionTop = 0.2;
inline constexpr double kRegionShortfall = 0.01;
inline constexpr int kCaptionBytes = 8;
inline constexpr double kSmallFont = 8.0;
inline constexpr double kDefaultBillHeight = 296.78;

// Edits of the loaded template's page "Report1.Page1"; a missing page or component
// leaves that edit undone.
// Page height from millimetres (custom paper) and the region from 0.2 in down.
void SetPageHeight(report::Project& project, double millimetres);
void SetRavTextOnly(report::Project& project, const QString& name, const QString& text);
// A caption: its text; in the fitted layout centred in its column by its width; at 8 pt
// when longer than 8 GBK bytes.
void SetRavText(report::Project& project, const QString& name, const QString& text, int column, double width, bool fit);
// An amount cell: its field; in the fitted layout right-aligned to its column's edge.
void SetRavDataText(report::Project& project, const QString& name, const QString& field, int column, double width, bool fit);
// A column frame: in the fitted layout placed over its column; shown or hidden.
void SetRavRectangle(report::Project& project, const QString& name, int column, double width, bool visible, bool fit);

// Loads the month's template and edits it for the month's items: page height, title,
// captions, amount fields and frames. Throws report::ReportError (template missing or
// damaged) and db::DbError (the items cannot be read).
void PrepareStrips(report::Project& project, TDM& dm, const QString& programFolder, const QString& month);

// The pay sheet as loaded and sorted, every field with amounts in the amount format.
report::TableSource SheetSource(const paysheet::ShownSheet& sheet, const QString& amountFormat);
// The parameters row.
report::TableSource ParameterSource(TDM& dm);

inline const QString kSheetSourceName = QStringLiteral("RvDataSetConnection1");
inline const QString kParameterSourceName = QStringLiteral("RvDataSetConnection2");
inline const QString kStripPage = QStringLiteral("Report1.Page1");

} // namespace printing
