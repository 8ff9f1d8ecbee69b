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

std::shared_ptr<const LoadedWorkbook> LoadedWorkbook::read(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw XlsError(QStringLiteral("Cannot open \"%1\": %2").arg(path, f.errorString()));
    auto data = std::make_shared<LoadedWorkbook>();
    data->path = path;
    data->file = f.readAll();
    data->book = Workbook::fromFile(data->file);
    return data;
}

XlsTable XlsTable::open(const QString& path, const QString& tableName)
{
    return open(LoadedWorkbook::read(path), tableName);
}

XlsTable XlsTable::open(std::shared_ptr<const LoadedWorkbook> workbook, const QString& tableName)
{
    XlsTable t;
    t.m_data = std::move(workbook);
    const Workbook& book = t.book();
    Range r{0, 0, 0, -1};
    t.m_sheet = -1;
    if (tableName.endsWith(QLatin1Char('$'))) {
        t.m_sheet = book.sheetIndex(tableName.chopped(1));
        if (t.m_sheet >= 0)
            r = usedRange(book.sheet(t.m_sheet));
    }
    if (t.m_sheet < 0) {
        for (const DefinedName& n : book.names()) {
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
        QString name = book.text(t.m_sheet, r.firstRow, c).trimmed();
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
    return it != m_pending.end() ? it->second : book().text(m_sheet, cell.first, cell.second);
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
    const QByteArray edited = ReplaceCellTexts(m_data->file, book().sheet(m_sheet).name, m_pending);
    SaveFileAtomically(m_data->path, edited);
    auto data = std::make_shared<LoadedWorkbook>();
    data->path = m_data->path;
    data->file = edited;
    data->book = Workbook::fromFile(edited);
    m_data = std::move(data);
    m_pending.clear();
}

QByteArray XlsTable::takeEditedCopy()
{
    QByteArray edited = m_pending.empty() ? m_data->file : ReplaceCellTexts(m_data->file, book().sheet(m_sheet).name, m_pending);
    m_pending.clear();
    return edited;
}

void XlsConnection::open(const QString& connectionString)
{
    close();
    QString source, extended;
    for (const QString& part : connectionString.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            source = value;
        else if (key.compare(QLatin1String("Extended Properties"), Qt::CaseInsensitive) == 0)
            extended = value;
    }
    if (source.isEmpty())
        throw XlsError(QStringLiteral("The connection names no data source"));
    if (!extended.isEmpty() && !extended.contains(QLatin1String("Excel 8.0"), Qt::CaseInsensitive))
        throw XlsError(QStringLiteral("Only Excel 8.0 workbooks are read, not '%1'").arg(extended));
    m_data = LoadedWorkbook::read(source);
}

QStringList XlsConnection::tableNames() const
{
    return m_data ? TableNames(m_data->book) : QStringList();
}

std::unique_ptr<Table> XlsConnection::openTable(const QString& name) const
{
    if (!m_data)
        throw XlsError(QStringLiteral("No workbook is open"));
    return std::make_unique<XlsTable>(XlsTable::open(m_data, name));
}

} // namespace xls
