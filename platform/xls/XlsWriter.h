#pragma once
#include "platform/xls/Biff.h"

#include <QString>

#include <map>
#include <vector>

namespace xls {

// How a written cell looks.
struct Format {
    bool bold = false;
    bool wrap = false;
    bool border = false; // thin lines on all four sides
    HAlign halign = HAlign::General;
    VAlign valign = VAlign::Bottom;
    bool operator<(const Format& o) const;
};

// Builds a new BIFF8 workbook: sheets of text and number cells with formats, merged
// ranges and column widths.
class WorkbookWriter {
public:
    int addSheet(const QString& name);
    void setText(int sheet, int row, int col, const QString& text, const Format& format = {});
    void setNumber(int sheet, int row, int col, double value, const Format& format = {});
    void setBlank(int sheet, int row, int col, const Format& format);
    // Merges a range; its hidden cells get the top-left cell's format, so borders stay.
    void merge(int sheet, const Range& range);
    // Width in characters.
    void setColumnWidth(int sheet, int col, double characters);

    QByteArray workbookStream() const;
    QByteArray fileBytes() const;
    // Writes the file atomically: a failed write leaves no half file. Throws XlsError.
    void save(const QString& path) const;

private:
    struct OutCell {
        enum Kind { Text, Number, Blank } kind = Blank;
        QString text;
        double number = 0;
        Format format;
    };
    struct OutSheet {
        QString name;
        std::map<std::pair<int, int>, OutCell> cells;
        std::vector<Range> merges;
        std::map<int, int> widths;
    };
    std::vector<OutSheet> m_sheets;
};

// Shared string table records (SST and its CONTINUEs) for these strings, split by the
// CONTINUE rules.
QByteArray SstRecords(const std::vector<QString>& strings, quint32 totalRefs);
// A table's last record (SST or CONTINUE: id and data) with more strings after its own,
// running on into CONTINUE records as needed.
QByteArray AppendStrings(quint16 lastId, const QByteArray& lastData, const std::vector<QString>& strings);
// A record: id, length, data.
QByteArray MakeRecord(quint16 id, const QByteArray& data);

// Writes bytes to a file atomically. Throws XlsError.
void SaveFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace xls
