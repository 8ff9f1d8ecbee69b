#pragma once
#include "platform/xls/Biff.h"
#include "platform/xls/XlsError.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace xls {

// A table whose first row names its columns and whose other rows are records, read
// from the start to the end: what an import reads, whatever the file format.
class Table {
public:
    virtual ~Table() = default;
    virtual QStringList columnNames() const = 0;
    virtual int recordCount() const = 0;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // A value of the current record as text; empty for an empty cell.
    virtual QString value(int column) const = 0;
};

// A workbook file as read: its bytes and its parsed contents, shared by its tables.
struct LoadedWorkbook {
    QString path;
    QByteArray file;
    Workbook book;
    // Reads and parses a file. Throws XlsError.
    static std::shared_ptr<const LoadedWorkbook> read(const QString& path);
};

// The tables of a workbook as the spreadsheet driver shows them: one per worksheet,
// named "SheetName$", and one per defined name. The first row of a table gives the
// column names; every later row is a record.
QStringList TableNames(const Workbook& book);

class XlsTable : public Table {
public:
    // Opens a table of a workbook file. Throws XlsError.
    static XlsTable open(const QString& path, const QString& tableName);
    // Opens a table of a workbook already read. Throws XlsError.
    static XlsTable open(std::shared_ptr<const LoadedWorkbook> workbook, const QString& tableName);

    int columnCount() const { return int(m_columns.size()); }
    QStringList columnNames() const override { return m_columns; }
    int columnIndex(const QString& name) const; // -1 when none; letter case ignored
    int recordCount() const override { return m_lastRow - m_firstRow; }

    void first() override { m_record = 0; }
    void next() override { if (!eof()) ++m_record; }
    bool eof() const override { return m_record >= recordCount(); }
    QString value(int column) const override;

    // Changes a cell of the current record; post() writes the file. Only text cells change.
    void setValue(int column, const QString& text);
    // Writes pending changes to the file at once (atomically). Throws XlsError.
    void post();
    // The file's bytes with the pending changes, leaving the file and the table as they
    // are; then forgets the changes. Throws XlsError.
    QByteArray takeEditedCopy();

private:
    const Workbook& book() const { return m_data->book; }

    std::shared_ptr<const LoadedWorkbook> m_data;
    int m_sheet = 0;
    int m_firstRow = 0, m_lastRow = 0, m_firstCol = 0; // header row, last record row
    QStringList m_columns;
    int m_record = 0;
    std::map<std::pair<int, int>, QString> m_pending;
};

// The spreadsheet driver's connection to one .xls file, opened from a connection string
// ("Data Source=<file>;Extended Properties=Excel 8.0;..."): its table names and tables.
class XlsConnection {
public:
    // Reads the file named by Data Source. Throws XlsError (no Data Source, another
    // driver asked for by Extended Properties, a file that is no BIFF8 workbook).
    void open(const QString& connectionString);
    void close() { m_data.reset(); }
    bool isOpen() const { return m_data != nullptr; }
    // The sheets ("Name$") and defined names of the file.
    QStringList tableNames() const;
    // Throws XlsError for a table the file does not have, or when nothing is open.
    std::unique_ptr<Table> openTable(const QString& name) const;

private:
    std::shared_ptr<const LoadedWorkbook> m_data;
};

} // namespace xls
