#pragma once
#include "platform/error/SlipError.h"
#include "platform/xls/XlsWriter.h"

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace sheetapp {

// The spreadsheet application could not be reached or refused an operation.
class SheetAppError : public slip::Error {
public:
    using slip::Error::Error;
};

// Values of the application's object model used here.
inline constexpr int xlGeneral = 1;
inline constexpr int xlCenterAcrossSelection = 7;
inline constexpr int xlCenter = -4108;
inline constexpr int xlBottom = -4107;
inline constexpr int xlContinuous = 1;
inline constexpr int xlLineStyleNone = -4142;
inline constexpr int xlThin = 2;

// The properties of one cell the program sets.
struct CellFormat {
    bool wrapText = false;
    int horizontalAlignment = xlGeneral;
    int verticalAlignment = xlBottom;
    int lineStyle = xlLineStyleNone; // of the cell's borders
    int weight = xlThin;
    QString fontName;
    QString fontStyle;
    bool operator==(const CellFormat&) const = default;
};

// The spreadsheet application as the program drives it: one new workbook, its first
// sheet, 1-based rows and columns, every value as text.
class Application {
public:
    virtual ~Application() = default;
    virtual void addWorkbook() = 0;                                        // Workbooks.Add
    virtual void setCellValue(int row, int column, const QString& text) = 0; // Worksheets(1).Cells(r, c).Value
    virtual void mergeRange(const QString& address) = 0;                    // Worksheets(1).Range(a).Merge
    virtual void setCellFormat(int row, int column, const CellFormat& format) = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setDisplayAlerts(bool on) = 0;
    virtual void setSheetsInNewWorkbook(int count) = 0;
    virtual void setVisible(bool visible) = 0;
    // How long to let the application settle after a step that asks for `asked` ms; an
    // application in this process needs none.
    virtual int settleMs(int asked) const { return asked; }
};

// Starts the application ("Excel.Application"); throws SheetAppError when the desktop has
// no spreadsheet program.
std::unique_ptr<Application> CreateApplication();

// Puts another way of starting the application in force (a test's); an empty function
// restores the real one.
using Factory = std::function<std::unique_ptr<Application>()>;
void SetFactory(Factory factory);

// A column's letters: 1 "A", 26 "Z", 27 "AA".
QString ColumnName(int column);
// An A1-style range ("H1:AB1") as 0-based rows and columns; throws SheetAppError.
xls::Range ParseRange(const QString& address);

// The application stand-in: the workbook is written with the .xls writer to a new file in
// the temporary folder when made visible, and the desktop's spreadsheet program opens it.
class WorkbookApplication : public Application {
public:
    // Throws SheetAppError when the desktop has no spreadsheet program.
    WorkbookApplication();
    // For writing without opening (benchmarks, tests): no program is needed or started.
    explicit WorkbookApplication(bool openWhenVisible);

    void addWorkbook() override;
    void setCellValue(int row, int column, const QString& text) override;
    void mergeRange(const QString& address) override;
    void setCellFormat(int row, int column, const CellFormat& format) override;
    void setCaption(const QString& caption) override { m_caption = caption; }
    void setDisplayAlerts(bool) override {}
    void setSheetsInNewWorkbook(int) override {}
    // Writes the workbook to a new file and opens it. Throws SheetAppError.
    void setVisible(bool visible) override;
    int settleMs(int) const override { return 0; }

    // The file written when the workbook was made visible.
    QString writtenFile() const { return m_file; }

private:
    void requireWorkbook() const;

    bool m_open = true;
    bool m_hasWorkbook = false;
    QString m_caption, m_file;
    std::map<std::pair<int, int>, QString> m_values;
    std::map<std::pair<int, int>, CellFormat> m_formats;
    std::vector<xls::Range> m_merges;
};

} // namespace sheetapp
