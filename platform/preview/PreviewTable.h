#pragma once
#include "platform/error/SlipError.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

namespace preview {

// An operation of the preview control outside its bounds.
class PreviewError : public slip::Error {
public:
    using slip::Error::Error;
};

// What the preview control was given: a titled table of header rows, body rows and one
// more row after them (the footer), with column widths in screen pixels (0: hidden).
struct PreviewTable {
    QString caption;
    int rowHeight = 16;
    std::vector<int> widths;     // per column
    std::vector<int> aligns;     // per column: 0 left, 1 centred, 2 right
    std::vector<QStringList> headers; // [header row][column]
    std::vector<QStringList> rows;    // [row][column]; rows.size() = data rows + 1

    int columnCount() const { return int(widths.size()); }
    int dataRowCount() const { return int(rows.size()) - 1; }
    // True when the row after the data rows holds any text.
    bool hasFooterRow() const;
};

// A rectangle of header cells shown as one: equal neighbouring cells merged.
struct HeaderBlock {
    int firstRow = 0, lastRow = 0;   // header rows
    int firstCol = 0, lastCol = 0;   // indexes into the visible columns
    QString text;
};

// Header cells of the visible columns merged: equal neighbours in a row first, then
// equal blocks of the same columns in the rows below.
std::vector<HeaderBlock> MergeHeaders(const PreviewTable& table, const std::vector<int>& visibleColumns);

// Where everything of a table goes on paged paper, in device units.
struct PageLayout {
    bool landscape = false;
    QRectF body;                    // the printable area inside the margins
    std::vector<int> columns;       // visible columns, in order
    std::vector<double> x;          // left edge of each visible column; x.back() is the right edge
    double titleHeight = 0, rowHeight = 0, headerHeight = 0, pageNumberHeight = 0;
    double padding = 0; // each side of a cell's text
    QFont titleFont, cellFont;
    std::vector<std::pair<int, int>> pages; // rows [first, last) of each page; the footer row counts as a row
    std::vector<HeaderBlock> header;

    int pageCount() const { return int(pages.size()); }
};

// Whether the table is better printed across the paper.
bool WantsLandscape(const PreviewTable& table);

// Lays a table out for a page of the given size (device units at dpi dots per inch):
// columns scaled together to the page width, fonts with them, the title, the header
// rows on every page and the body rows page after page.
PageLayout LayoutTable(const PreviewTable& table, const QRectF& printable, double dpi);

// Draws one page (0-based) of a laid-out table.
void PaintPage(QPainter& painter, const PreviewTable& table, const PageLayout& layout, int page);

} // namespace preview
