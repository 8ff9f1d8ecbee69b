#pragma once
#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

namespace xls {

// Record ids used here.
enum RecordId : quint16 {
    kFormula = 0x0006, kEof = 0x000A, kExternSheet = 0x0017, kName = 0x0018, kDateMode = 0x0022,
    kFilePass = 0x002F, kFont = 0x0031, kContinue = 0x003C, kColInfo = 0x007D, kBoundSheet = 0x0085,
    kMulRk = 0x00BD, kMulBlank = 0x00BE, kRString = 0x00D6, kDbCell = 0x00D7, kXf = 0x00E0,
    kMergedCells = 0x00E5, kSst = 0x00FC, kLabelSst = 0x00FD, kExtSst = 0x00FF, kBlank = 0x0201,
    kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205, kString = 0x0207, kRow = 0x0208,
    kIndex = 0x020B, kArray = 0x0221, kTable = 0x0236, kRk = 0x027E, kFormat = 0x041E,
    kShrFmla = 0x04BC, kBof = 0x0809,
};

// One record of a workbook stream and where it starts.
struct Record {
    quint16 id = 0;
    QByteArray data;
    qsizetype pos = 0;
};

// Splits a stream into records; a record running past the end is refused. Without
// copyData the records' data point into stream, which must then outlive them unchanged.
std::vector<Record> ReadRecords(const QByteArray& stream, qsizetype from, bool stopAtEof, bool copyData = true);

// The value of an RK number.
double RkValue(quint32 rk);

enum class HAlign { General = 0, Left = 1, Center = 2, Right = 3, Fill = 4, Justify = 5, CenterAcross = 6 };
enum class VAlign { Top = 0, Center = 1, Bottom = 2, Justify = 3 };

// The look of a cell as its XF and font give it.
struct CellFormat {
    bool bold = false;
    bool wrap = false;
    HAlign halign = HAlign::General;
    VAlign valign = VAlign::Bottom;
    // Line styles of the four borders (0 none, 1 thin ...): left, right, top, bottom.
    int borders[4] = {0, 0, 0, 0};
    int formatIndex = 0;
};

// A cell as read: a number (made text when asked for), a shared string, a text of the
// sheet's own, or blank. Texts are kept apart so the cells stay small.
struct Cell {
    enum class Kind : quint8 { Blank, Number, Shared, Own };
    double number = 0;
    int xf = 0;
    int textIndex = -1; // into the shared strings or the sheet's texts
    Kind kind = Kind::Blank;
    bool hasValue = false; // false for blank (formatted only) cells
};

struct Range {
    int firstRow, lastRow, firstCol, lastCol;
};

// The cells of a sheet in (row, column) order, keyed by (row, column). Cells come in that
// order from a workbook stream, so adding them is appending.
class CellMap {
public:
    using Key = std::pair<int, int>;
    using Entry = std::pair<Key, Cell>;
    using const_iterator = std::vector<Entry>::const_iterator;

    // The cell at key, added empty when there is none.
    Cell& operator[](const Key& key);
    const Cell& at(const Key& key) const; // throws std::out_of_range
    const_iterator find(const Key& key) const;
    size_t count(const Key& key) const { return find(key) != end() ? 1 : 0; }
    const_iterator begin() const { return m_cells.begin(); }
    const_iterator end() const { return m_cells.end(); }
    size_t size() const { return m_cells.size(); }
    void reserve(size_t n) { m_cells.reserve(n); }

private:
    std::vector<Entry> m_cells;
    mutable size_t m_hint = 0; // where the next find looks first
};

struct SheetData {
    QString name;
    quint32 offset = 0; // stream position of the sheet's BOF
    CellMap cells;
    std::vector<QString> texts; // the texts of cells of Kind::Own
    std::vector<Range> merges;
    std::map<int, int> colWidths; // column -> width in 1/256 of a character
};

struct DefinedName {
    QString name;
    int sheet = -1;
    Range range{0, 0, 0, 0};
};

// A BIFF8 workbook read from its Workbook stream: sheets, cell texts as the spreadsheet
// driver gives them (numbers in general form, dates as dates), formats, merges, widths.
class Workbook {
public:
    static Workbook fromStream(const QByteArray& stream); // throws XlsError
    static Workbook fromFile(const QByteArray& file);     // a whole .xls file
    static Workbook open(const QString& path);

    int sheetCount() const { return int(m_sheets.size()); }
    const SheetData& sheet(int index) const { return m_sheets.at(index); }
    int sheetIndex(const QString& name) const; // -1 when none; letter case ignored
    const std::vector<DefinedName>& names() const { return m_names; }
    QString text(int sheet, int row, int col) const;
    CellFormat format(int sheet, int row, int col) const;
    const std::vector<QString>& sharedStrings() const { return m_sst; }

private:
    void readGlobals(const QByteArray& stream);
    void readSheet(const QByteArray& stream, SheetData& sheet);
    QString numberText(double value, int xf) const;
    bool isDateXf(int xf) const;
    bool xfShowsDate(int xf) const;

    struct Xf {
        int font = 0, format = 0;
        quint8 align = 0;
        quint16 borders = 0;
    };
    std::vector<SheetData> m_sheets;
    std::vector<DefinedName> m_names;
    std::vector<QString> m_sst;
    std::vector<Xf> m_xfs;
    std::vector<bool> m_xfIsDate; // per XF, worked out once
    std::vector<bool> m_fontBold;
    std::map<int, QString> m_formats;
    std::vector<int> m_externSheets; // EXTERNSHEET index -> sheet index
    bool m_1904 = false;
};

// General number text: up to 15 significant digits, point separator.
QString GeneralNumber(double value);

} // namespace xls
