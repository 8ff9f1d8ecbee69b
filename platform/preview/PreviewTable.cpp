#include "platform/preview/PreviewTable.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace preview {

namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kCellPointSize = 9.0;
constexpr double kMinPointSize = 4.0;
constexpr double kTitlePointSize = 14.0;
constexpr double kPadding = 3.0; // screen pixels each side of a cell's text

Qt::Alignment alignmentOf(int align)
{
    switch (align) {
    case 1:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case 2:
        return Qt::AlignRight | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

std::vector<int> visibleColumns(const PreviewTable& t)
{
    std::vector<int> cols;
    for (int c = 0; c < t.columnCount(); ++c)
        if (t.widths[size_t(c)] > 0)
            cols.push_back(c);
    return cols;
}

// Screen pixels the widest text of a column needs, header cells of its own included (a cell merged across columns may wrap). Paper fonts
// run a little wider than screen metrics say.
std::vector<double> neededWidths(const PreviewTable& t, const std::vector<int>& cols, const QFont& font)
{
    constexpr double kPaperSlack = 1.1;
    const QFontMetricsF fm(font);
    std::vector<double> need;
    for (size_t i = 0; i < cols.size(); ++i) {
        const int c = cols[i];
        // Only texts that may be the widest are measured: a wide (CJK) character counts
        // as two narrow ones.
        std::vector<int> estimate(t.rows.size());
        int most = 0;
        for (size_t r = 0; r < t.rows.size(); ++r) {
            int e = 0;
            for (const QChar ch : t.rows[r].value(c))
                e += ch.unicode() < 0x2E80 ? 1 : 2;
            estimate[r] = e;
            most = std::max(most, e);
        }
        double text = 0;
        for (size_t r = 0; r < t.rows.size(); ++r)
            if (estimate[r] + 2 >= most)
                text = std::max(text, fm.horizontalAdvance(t.rows[r].value(c)));
        for (const QStringList& header : t.headers) {
            const bool mergedLeft = i > 0 && header.value(cols[i - 1]) == header.value(c);
            const bool mergedRight = i + 1 < cols.size() && header.value(cols[i + 1]) == header.value(c);
            if (!mergedLeft && !mergedRight)
                text = std::max(text, fm.horizontalAdvance(header.value(c)));
        }
        need.push_back(text * kPaperSlack + 2 * kPadding);
    }
    return need;
}

} // namespace

bool PreviewTable::hasFooterRow() const
{
    if (rows.empty())
        return false;
    for (const QString& t : rows.back())
        if (!t.isEmpty())
            return true;
    return false;
}

std::vector<HeaderBlock> MergeHeaders(const PreviewTable& table, const std::vector<int>& cols)
{
    std::vector<HeaderBlock> blocks;
    const int rows = int(table.headers.size());
    const int n = int(cols.size());
    for (int r = 0; r < rows; ++r) {
        for (int i = 0; i < n;) {
            const QString text = table.headers[size_t(r)].value(cols[size_t(i)]);
            int j = i;
            while (j + 1 < n && table.headers[size_t(r)].value(cols[size_t(j + 1)]) == text)
                ++j;
            // A run equal to the block above it, over the same columns, grows that block.
            auto above = std::find_if(blocks.begin(), blocks.end(), [&](const HeaderBlock& b) {
                return b.lastRow == r - 1 && b.firstCol == i && b.lastCol == j && b.text == text;
            });
            if (above != blocks.end())
                above->lastRow = r;
            else
                blocks.push_back({r, r, i, j, text});
            i = j + 1;
        }
    }
    return blocks;
}

bool WantsLandscape(const PreviewTable& table)
{
    // A4 across the paper holds about 1,000 screen pixels.
    int total = 0;
    for (int w : table.widths)
        total += w;
    return total > 720;
}

PageLayout LayoutTable(const PreviewTable& table, const QRectF& printable, double dpi)
{
    PageLayout l;
    l.body = printable;
    l.columns = visibleColumns(table);
    l.header = MergeHeaders(table, l.columns);
    const double pxToDevice = dpi / kScreenDpi;

    QFont screenFont;
    screenFont.setPointSizeF(kCellPointSize);
    // Columns as drawn on the screen when they fit; else narrower, down to what their
    // texts need; else everything, fonts included, scaled together to the page width.
    const std::vector<double> textNeed = neededWidths(table, l.columns, screenFont);
    std::vector<double> need(textNeed.size());
    double drawn = 0, least = 0;
    for (size_t i = 0; i < textNeed.size(); ++i) {
        need[i] = std::max(double(table.widths[size_t(l.columns[i])]), textNeed[i]);
        drawn += need[i];
        least += textNeed[i];
    }
    const double room = printable.width() / pxToDevice;
    double scale = 1.0;
    if (drawn > room && least <= room) {
        const double f = drawn > least ? (room - least) / (drawn - least) : 0.0;
        for (size_t i = 0; i < need.size(); ++i)
            need[i] = textNeed[i] + (need[i] - textNeed[i]) * f;
    } else if (drawn > room) {
        need = textNeed;
        scale = room / least;
    }
    l.cellFont = screenFont;
    l.cellFont.setPointSizeF(std::max(kMinPointSize, kCellPointSize * scale));
    l.titleFont.setPointSizeF(kTitlePointSize);
    l.titleFont.setBold(true);

    double x = printable.left();
    for (double w : need) {
        l.x.push_back(x);
        x += w * pxToDevice * scale;
    }
    l.x.push_back(x);
    l.padding = kPadding * pxToDevice * scale;

    const double pointToDevice = dpi / 72.0;
    l.rowHeight = std::max(double(table.rowHeight) * pxToDevice * scale, l.cellFont.pointSizeF() * pointToDevice * 1.6);
    l.headerHeight = l.rowHeight * double(table.headers.size());
    l.titleHeight = kTitlePointSize * pointToDevice * 2.2;
    l.pageNumberHeight = kCellPointSize * pointToDevice * 2.0;

    const int rowsInAll = table.dataRowCount() + (table.hasFooterRow() ? 1 : 0);
    const double height = printable.height() - l.titleHeight - l.headerHeight - l.pageNumberHeight;
    const int perPage = std::max(1, int(height / l.rowHeight));
    for (int first = 0; first < rowsInAll || l.pages.empty(); first += perPage)
        l.pages.push_back({first, std::min(rowsInAll, first + perPage)});
    return l;
}

void PaintPage(QPainter& p, const PreviewTable& table, const PageLayout& l, int page)
{
    const auto [first, last] = l.pages.at(size_t(page));
    const QRectF& body = l.body;
    p.save();
    p.setPen(QPen(Qt::black, 0));

    p.setFont(l.titleFont);
    p.drawText(QRectF(body.left(), body.top(), body.width(), l.titleHeight), Qt::AlignCenter, table.caption);

    p.setFont(l.cellFont);
    const double pad = l.padding;
    const double headerTop = body.top() + l.titleHeight;
    for (const HeaderBlock& b : l.header) {
        const QRectF cell(l.x[size_t(b.firstCol)], headerTop + b.firstRow * l.rowHeight,
                          l.x[size_t(b.lastCol) + 1] - l.x[size_t(b.firstCol)], (b.lastRow - b.firstRow + 1) * l.rowHeight);
        p.drawRect(cell);
        p.drawText(cell.adjusted(pad, 0, -pad, 0), Qt::AlignCenter | Qt::TextWordWrap, b.text);
    }

    double y = headerTop + l.headerHeight;
    for (int r = first; r < last; ++r, y += l.rowHeight) {
        const QStringList& row = table.rows.at(size_t(r));
        for (size_t i = 0; i < l.columns.size(); ++i) {
            const int c = l.columns[i];
            const QRectF cell(l.x[i], y, l.x[i + 1] - l.x[i], l.rowHeight);
            p.drawRect(cell);
            p.drawText(cell.adjusted(pad, 0, -pad, 0), alignmentOf(table.aligns[size_t(c)]), row.value(c));
        }
    }
    const QRectF number(body.left(), body.bottom() - l.pageNumberHeight, body.width(), l.pageNumberHeight);
    p.drawText(number, Qt::AlignCenter, QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(l.pageCount()));
    p.restore();
}

} // namespace preview
