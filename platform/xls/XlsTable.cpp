#include "platform/xls/XlsTable.h"
#include "platform/xls/XlsEdit.h"
#include "platform/xls/XlsWriter.h"

#include <QFile>

namespace xls {

namespace {

// The area of a sheet holding values: header row, last row, first and last column.
Range usedRange(const SheetData& s)
{
    Range r{0x7FFFFFFF, -1, 0x7FFFFFFF, -1};
    for (const auto& [pos, cell] : s.cells) {
        if (!cell.hasValue)
            continue;
        r.firstRow = std::min(r.firstRow, pos.first);
        r.lastRow = std::max(r.lastRow, pos.first);
        r.firstCol = std::min(r.firstCol, pos.second);
        r.lastCol = std::max(r.lastCol, pos.second);
    }
    if (r.lastRow < 0)
        r = {0, 0, 0, -1};
    return r;
}

} // namespace

QStringList TableNames(const Workbook& book)
{
    QStringList names;
    for (int i = 0; i < book.sheetCount(); ++i)
        names << book.sheet(i).name + QLatin1Char('$');
    for (const DefinedName& n : book.names())
        names << n.name;
    return names;
}

XlsTable XlsTable::open(const QString& path, const QString& tableName)
{
    XlsTable t;
    t.m_path = path;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw XlsError(QStringLiteral("Cannot open \"%1\": %2").arg(path, f.errorString()));
    t.m_file = f.readAll();
    t.m_book = Workbook::fromFile(t.m_file);
    Range r{0, 0, 0, -1};
    t.m_sheet = -1;
    if (tableName.endsWith(QLatin1Char('$'))) {
        t.m_sheet = t.m_book.sheetIndex(tableName.chopped(1));
        if (t.m_sheet >= 0)
            r = usedRange(t.m_book.sheet(t.m_sheet));
    }
    if (t.m_sheet < 0) {
        for (const DefinedName& n : t.m_book.names()) {
            if (n.name.compare(tableName, Qt::CaseInsensitive) == 0) {
                t.m_sheet = n.sheet;
                r = n.range;
                break;
            }
        }
    }
    if (t.m_sheet < 0)
        throw XlsError(QStringLiteral("The workbook has no table '%1'").arg(tableName));
    t.m_firstRow = r.firstRow;
    t.m_lastRow = std::max(r.firstRow, r.lastRow);
    t.m_firstCol = r.firstCol;
    for (int c = r.firstCol; c <= r.lastCol; ++c) {
        QString name = t.m_book.text(t.m_sheet, r.firstRow, c).trimmed();
        if (name.isEmpty())
            name = QStringLiteral("F%1").arg(c - r.firstCol + 1); // the driver's name for a nameless column
        QString unique = name;
        for (int k = 1; t.m_columns.contains(unique, Qt::CaseInsensitive); ++k)
            unique = name + QString::number(k);
        t.m_columns << unique;
    }
    return t;
}

int XlsTable::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString XlsTable::value(int column) const
{
    if (eof() || column < 0 || column >= columnCount())
        return QString();
    const std::pair<int, int> cell{m_firstRow + 1 + m_record, m_firstCol + column};
    const auto it = m_pending.find(cell);
    return it != m_pending.end() ? it->second : m_book.text(m_sheet, cell.first, cell.second);
}

void XlsTable::setValue(int column, const QString& text)
{
    if (eof() || column < 0 || column >= columnCount())
        throw XlsError(QStringLiteral("No current record or no such column"));
    m_pending[{m_firstRow + 1 + m_record, m_firstCol + column}] = text;
}

void XlsTable::post()
{
    if (m_pending.empty())
        return;
    const QByteArray edited = ReplaceCellTexts(m_file, m_book.sheet(m_sheet).name, m_pending);
    SaveFileAtomically(m_path, edited);
    m_file = edited;
    m_book = Workbook::fromFile(m_file);
    m_pending.clear();
}

} // namespace xls
