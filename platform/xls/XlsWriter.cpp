#include "platform/xls/XlsWriter.h"
#include "platform/xls/Bytes.h"
#include "platform/xls/Cfb.h"

#include <QSaveFile>

#include <tuple>

namespace xls {

namespace {

constexpr qsizetype kMaxRecord = 8224;

QByteArray bof(quint16 type)
{
    QByteArray d;
    put16(d, 0x0600);
    put16(d, type);
    put16(d, 0x0DBB);
    put16(d, 0x07CC);
    put32(d, 0);
    put32(d, 6);
    return d;
}

QByteArray font(bool bold)
{
    QByteArray d;
    put16(d, 220);             // 11 point
    put16(d, bold ? 1 : 0);    // the old bold flag, which some readers still use
    put16(d, 0x7FFF);          // automatic colour
    put16(d, bold ? 700 : 400);
    put16(d, 0);               // no super/subscript
    d.append('\0');            // no underline
    d.append('\0');            // family
    d.append(char(134));       // GB2312 character set
    d.append('\0');
    const QString name = QStringLiteral("宋体");
    d.append(char(name.size()));
    d.append(char(1));
    for (QChar c : name)
        put16(d, c.unicode());
    return d;
}

QByteArray xf(int fontIndex, bool style, const Format& f)
{
    QByteArray d;
    put16(d, quint16(fontIndex));
    put16(d, 0);                              // General
    put16(d, style ? 0xFFF5 : 0x0001);        // style XF, or cell XF locked with parent 0
    d.append(char(int(f.halign) | (f.wrap ? 0x08 : 0) | (int(f.valign) << 4)));
    d.append('\0');                           // rotation
    d.append('\0');                           // indent
    d.append(char(style ? 0x00 : 0xF8));      // attributes the cell XF sets itself
    const quint16 thin = f.border ? 0x1111 : 0;
    put16(d, thin);
    put16(d, f.border ? quint16(0x40 | (0x40 << 7)) : 0);
    put32(d, f.border ? quint32(0x40 | (0x40 << 7)) : 0);
    put16(d, quint16(0x40 | (0x41 << 7)));
    return d;
}

// One string in the table's form: header, then characters in one width.
struct StringParts {
    QByteArray header;
    QByteArray chars;
    bool high;
};

StringParts encode(const QString& s)
{
    StringParts p;
    p.high = false;
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            p.high = true;
    put16(p.header, quint16(s.size()));
    p.header.append(char(p.high ? 1 : 0));
    for (QChar c : s) {
        if (p.high)
            put16(p.chars, c.unicode());
        else
            p.chars.append(char(c.unicode()));
    }
    return p;
}

// Lays strings out over records of at most kMaxRecord bytes: a header with its first
// character never splits; characters that run on start the next record with a flags byte.
QByteArray layStrings(quint16 firstId, QByteArray firstData, const std::vector<QString>& strings)
{
    QByteArray out;
    quint16 id = firstId;
    QByteArray cur = std::move(firstData);
    auto flush = [&] {
        out += MakeRecord(id, cur);
        id = kContinue;
        cur.clear();
    };
    for (const QString& s : strings) {
        const StringParts p = encode(s);
        const int width = p.high ? 2 : 1;
        const qsizetype firstChar = p.chars.isEmpty() ? 0 : width;
        if (cur.size() + p.header.size() + firstChar > kMaxRecord)
            flush();
        cur += p.header;
        qsizetype done = 0;
        while (done < p.chars.size()) {
            qsizetype room = (kMaxRecord - cur.size()) / width * width;
            if (room <= 0) {
                flush();
                cur.append(char(p.high ? 1 : 0));
                room = (kMaxRecord - cur.size()) / width * width;
            }
            const qsizetype take = std::min(room, p.chars.size() - done);
            cur += p.chars.mid(done, take);
            done += take;
        }
    }
    if (!cur.isEmpty() || id == firstId)
        flush();
    return out;
}

} // namespace

bool Format::operator<(const Format& o) const
{
    return std::tie(bold, wrap, border, halign, valign) < std::tie(o.bold, o.wrap, o.border, o.halign, o.valign);
}

QByteArray MakeRecord(quint16 id, const QByteArray& data)
{
    QByteArray r;
    put16(r, id);
    put16(r, quint16(data.size()));
    return r + data;
}

QByteArray SstRecords(const std::vector<QString>& strings, quint32 totalRefs)
{
    QByteArray head;
    put32(head, totalRefs);
    put32(head, quint32(strings.size()));
    return layStrings(kSst, head, strings);
}

QByteArray AppendStrings(quint16 lastId, const QByteArray& lastData, const std::vector<QString>& strings)
{
    return layStrings(lastId, lastData, strings);
}

int WorkbookWriter::addSheet(const QString& name)
{
    m_sheets.push_back({name, {}, {}, {}});
    return int(m_sheets.size()) - 1;
}

void WorkbookWriter::setText(int sheet, int row, int col, const QString& text, const Format& format)
{
    OutCell c;
    c.kind = OutCell::Text;
    c.text = text;
    c.format = format;
    m_sheets.at(size_t(sheet)).cells[{row, col}] = c;
}

void WorkbookWriter::setNumber(int sheet, int row, int col, double value, const Format& format)
{
    OutCell c;
    c.kind = OutCell::Number;
    c.number = value;
    c.format = format;
    m_sheets.at(size_t(sheet)).cells[{row, col}] = c;
}

void WorkbookWriter::setBlank(int sheet, int row, int col, const Format& format)
{
    OutCell c;
    c.format = format;
    m_sheets.at(size_t(sheet)).cells[{row, col}] = c;
}

void WorkbookWriter::merge(int sheet, const Range& r)
{
    OutSheet& s = m_sheets.at(size_t(sheet));
    const auto it = s.cells.find({r.firstRow, r.firstCol});
    const Format f = it == s.cells.end() ? Format{} : it->second.format;
    for (int row = r.firstRow; row <= r.lastRow; ++row)
        for (int col = r.firstCol; col <= r.lastCol; ++col)
            if (row != r.firstRow || col != r.firstCol)
                setBlank(sheet, row, col, f);
    s.merges.push_back(r);
}

void WorkbookWriter::setColumnWidth(int sheet, int col, double characters)
{
    m_sheets.at(size_t(sheet)).widths[col] = std::clamp(int(characters * 256), 0, 0xFFFF);
}

QByteArray WorkbookWriter::workbookStream() const
{
    // Cell formats and strings of every sheet.
    std::map<Format, int> xfIndex;
    std::vector<Format> xfs;
    std::vector<QString> strings;
    std::map<QString, quint32> stringIndex;
    quint32 refs = 0;
    for (const OutSheet& s : m_sheets) {
        for (const auto& [pos, c] : s.cells) {
            if (!xfIndex.count(c.format)) {
                xfIndex[c.format] = 16 + int(xfs.size());
                xfs.push_back(c.format);
            }
            if (c.kind == OutCell::Text) {
                ++refs;
                if (!stringIndex.count(c.text)) {
                    stringIndex[c.text] = quint32(strings.size());
                    strings.push_back(c.text);
                }
            }
        }
    }

    QByteArray globals = MakeRecord(kBof, bof(0x0005));
    QByteArray cp;
    put16(cp, 1200);
    globals += MakeRecord(0x0042, cp); // CODEPAGE: UTF-16
    QByteArray win;
    for (quint16 v : {0x0168, 0x001E, 0x3A5C, 0x23BE, 0x0038, 0, 0, 1, 0x0258})
        put16(win, v);
    globals += MakeRecord(0x003D, win); // WINDOW1
    QByteArray mode;
    put16(mode, 0);
    globals += MakeRecord(kDateMode, mode);
    for (int i = 0; i < 4; ++i)
        globals += MakeRecord(kFont, font(false));
    globals += MakeRecord(kFont, font(true)); // index 5: index 4 does not exist
    for (int i = 0; i < 16; ++i)
        globals += MakeRecord(kXf, xf(0, i < 15, Format{}));
    for (const Format& f : xfs)
        globals += MakeRecord(kXf, xf(f.bold ? 5 : 0, false, f));
    globals += MakeRecord(0x0293, QByteArray("\x00\x80\x00\xFF", 4)); // STYLE "Normal"
    std::vector<qsizetype> boundPos;
    for (const OutSheet& s : m_sheets) {
        QByteArray b;
        put32(b, 0); // the sheet's position, set below
        b.append('\0');
        b.append('\0');
        const QString name = s.name.left(31);
        b.append(char(name.size()));
        b.append(char(1));
        for (QChar c : name)
            put16(b, c.unicode());
        boundPos.push_back(globals.size() + 4);
        globals += MakeRecord(kBoundSheet, b);
    }
    globals += SstRecords(strings, refs);
    globals += MakeRecord(kEof, QByteArray());

    QByteArray sheets;
    for (size_t si = 0; si < m_sheets.size(); ++si) {
        const OutSheet& s = m_sheets[si];
        set32(globals, boundPos[si], quint32(globals.size() + sheets.size()));
        QByteArray d = MakeRecord(kBof, bof(0x0010));
        QByteArray v;
        put16(v, 100);
        d += MakeRecord(0x000C, v); // CALCCOUNT
        v.clear();
        put16(v, 1);
        d += MakeRecord(0x000D, v); // CALCMODE automatic
        d += MakeRecord(0x000F, v); // REFMODE A1
        v.clear();
        put16(v, 0);
        d += MakeRecord(0x0011, v); // ITERATION off
        v.clear();
        putF64(v, 0.001);
        d += MakeRecord(0x0010, v); // DELTA
        v.clear();
        put16(v, 1);
        d += MakeRecord(0x005F, v); // SAVERECALC
        d += MakeRecord(0x0080, QByteArray(8, '\0')); // GUTS
        v.clear();
        put16(v, 0);
        put16(v, 0x00FF);
        d += MakeRecord(0x0225, v); // DEFAULTROWHEIGHT
        v.clear();
        put16(v, 0x04C1);
        d += MakeRecord(0x0081, v); // WSBOOL
        for (const auto& [col, width] : s.widths) {
            QByteArray ci;
            put16(ci, quint16(col));
            put16(ci, quint16(col));
            put16(ci, quint16(width));
            put16(ci, 15);
            put16(ci, 0);
            put16(ci, 0);
            d += MakeRecord(kColInfo, ci);
        }
        int lastRow = -1, lastCol = -1, firstRow = 0x7FFFFFFF, firstCol = 0xFFFF;
        for (const auto& [pos, c] : s.cells) {
            firstRow = std::min(firstRow, pos.first);
            lastRow = std::max(lastRow, pos.first);
            firstCol = std::min(firstCol, pos.second);
            lastCol = std::max(lastCol, pos.second);
        }
        QByteArray dim;
        put32(dim, lastRow < 0 ? 0 : quint32(firstRow));
        put32(dim, quint32(lastRow + 1));
        put16(dim, lastCol < 0 ? 0 : quint16(firstCol));
        put16(dim, quint16(lastCol + 1));
        put16(dim, 0);
        d += MakeRecord(0x0200, dim); // DIMENSIONS
        std::map<int, std::pair<int, int>> rows;
        for (const auto& [pos, c] : s.cells) {
            auto& span = rows.try_emplace(pos.first, pos.second, pos.second).first->second;
            span.first = std::min(span.first, pos.second);
            span.second = std::max(span.second, pos.second);
        }
        for (const auto& [row, span] : rows) {
            QByteArray rr;
            put16(rr, quint16(row));
            put16(rr, quint16(span.first));
            put16(rr, quint16(span.second + 1));
            put16(rr, 0x00FF);
            put16(rr, 0);
            put16(rr, 0);
            put16(rr, 0x0100);
            put16(rr, 0x000F);
            d += MakeRecord(kRow, rr);
        }
        for (const auto& [pos, c] : s.cells) {
            QByteArray cell;
            put16(cell, quint16(pos.first));
            put16(cell, quint16(pos.second));
            put16(cell, quint16(xfIndex.at(c.format)));
            if (c.kind == OutCell::Text) {
                put32(cell, stringIndex.at(c.text));
                d += MakeRecord(kLabelSst, cell);
            } else if (c.kind == OutCell::Number) {
                putF64(cell, c.number);
                d += MakeRecord(kNumber, cell);
            } else {
                d += MakeRecord(kBlank, cell);
            }
        }
        for (size_t k = 0; k < s.merges.size(); k += 1026) {
            QByteArray m;
            const size_t n = std::min<size_t>(1026, s.merges.size() - k);
            put16(m, quint16(n));
            for (size_t j = k; j < k + n; ++j) {
                const Range& r = s.merges[j];
                for (int v2 : {r.firstRow, r.lastRow, r.firstCol, r.lastCol})
                    put16(m, quint16(v2));
            }
            d += MakeRecord(kMergedCells, m);
        }
        QByteArray w2;
        put16(w2, si == 0 ? 0x06B6 : 0x00B6); // only the first sheet is selected
        for (int k = 0; k < 4; ++k)
            put16(w2, k == 2 ? 0x40 : 0);
        put16(w2, 0);
        put16(w2, 0);
        put32(w2, 0);
        d += MakeRecord(0x023E, w2); // WINDOW2
        d += MakeRecord(kEof, QByteArray());
        sheets += d;
    }
    return globals + sheets;
}

QByteArray WorkbookWriter::fileBytes() const
{
    QByteArray stream = workbookStream();
    if (stream.size() < 4096)
        stream.resize(4096, '\0'); // kept out of the mini stream, as most writers do
    return CompoundFile::buildStreams({{QStringLiteral("Workbook"), stream}});
}

void SaveFileAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw XlsError(QStringLiteral("Cannot write \"%1\": %2").arg(path, f.errorString()));
}

void WorkbookWriter::save(const QString& path) const
{
    SaveFileAtomically(path, fileBytes());
}

} // namespace xls
