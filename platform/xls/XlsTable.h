#pragma once
#include "platform/xls/Biff.h"
#include "platform/xls/XlsError.h"

#include <QString>
#include <QStringList>

namespace xls {

// The tables of a workbook as the spreadsheet driver shows them: one per worksheet,
// named "SheetName$", and one per defined name. The first row of a table gives the
// column names; every later row is a record.
QStringList TableNames(const Workbook& book);

class XlsTable {
public:
    // Opens a table of a workbook file. Throws XlsError.
    static XlsTable open(const QString& path, const QString& tableName);

    int columnCount() const { return int(m_columns.size()); }
    QStringList columnNames() const { return m_columns; }
    int columnIndex(const QString& name) const; // -1 when none; letter case ignored
    int recordCount() const { return m_lastRow - m_firstRow; }

    void first() { m_record = 0; }
    void next() { if (!eof()) ++m_record; }
    bool eof() const { return m_record >= recordCount(); }
    // A value of the current record as text; empty for an empty cell.
    QString value(int column) const;

    // Changes a cell of the current record; post() writes the file. Only text cells change.
    void setValue(int column, const QString& text);
    // Writes pending changes to the file at once (atomically). Throws XlsError.
    void post();

private:
    QString m_path;
    QByteArray m_file;
    Workbook m_book;
    int m_sheet = 0;
    int m_firstRow = 0, m_lastRow = 0, m_firstCol = 0; // header row, last record row
    QStringList m_columns;
    int m_record = 0;
    std::map<std::pair<int, int>, QString> m_pending;
};

} // namespace xls
