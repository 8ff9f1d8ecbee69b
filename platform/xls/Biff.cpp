#include "platform/xls/Biff.h"
#include "platform/xls/Bytes.h"
#include "platform/xls/Cfb.h"

#include <QDateTime>
#include <QFile>

#include <cmath>
#include <cstring>

namespace xls {

namespace {

// Reads across a record and its CONTINUE records, as the string rules want: characters
// that run on start the next part with a fresh flags byte, everything else does not.
class ContinuedReader {
public:
    explicit ContinuedReader(std::vector<QByteArray> parts) : m_parts(std::move(parts)) {}

    bool atEnd()
    {
        skipEmpty();
        return m_part >= m_parts.size();
    }
    QByteArray bytes(qsizetype n)
    {
        QByteArray out;
        while (n > 0) {
            skipEmpty();
            if (m_part >= m_parts.size())
                throw XlsError(QStringLiteral("A string runs past the end of its record"));
            const qsizetype take = std::min(n, avail());
            out += m_parts[m_part].mid(m_off, take);
            m_off += take;
            n -= take;
        }
        return out;
    }
    quint32 number(int size) { return readU(bytes(size), 0, size); }
    // An XLUnicodeString's characters after its header.
    QString chars(int count, bool high)
    {
        QString out;
        out.reserve(count);
        bool first = true;
        while (count > 0) {
            if (!first && avail() == 0) {
                nextPart();
                high = (number(1) & 1) != 0;
            } else if (first && avail() == 0) {
                nextPart(); // a string never starts split; a part boundary is only a boundary
                if (m_part >= m_parts.size())
                    throw XlsError(QStringLiteral("A string runs past the end of its record"));
            }
            first = false;
            const int width = high ? 2 : 1;
            const qsizetype n = std::min<qsizetype>(count, avail() / width);
            if (n == 0)
                throw XlsError(QStringLiteral("A string's characters are cut"));
            const char* p = m_parts[m_part].constData() + m_off;
            if (high) {
                for (qsizetype i = 0; i < n; ++i)
                    out += QChar(char16_t(quint8(p[2 * i]) | (quint8(p[2 * i + 1]) << 8)));
            } else {
                for (qsizetype i = 0; i < n; ++i)
                    out += QChar(char16_t(quint8(p[i])));
            }
            m_off += n * width;
            count -= int(n);
        }
        return out;
    }
    // A whole string: cch (8 or 16 bits), flags, optional run and ext sizes, characters,
    // then the run and ext bytes, which are skipped.
    QString string(bool shortCount)
    {
        const int cch = int(number(shortCount ? 1 : 2));
        const quint8 flags = quint8(number(1));
        const int runs = (flags & 0x08) ? int(number(2)) : 0;
        const quint32 ext = (flags & 0x04) ? number(4) : 0;
        const QString s = cch ? chars(cch, flags & 1) : QString();
        skip(qsizetype(runs) * 4 + ext);
        return s;
    }
    void skip(qsizetype n) { bytes(n); }

private:
    qsizetype avail() const { return m_part < m_parts.size() ? m_parts[m_part].size() - m_off : 0; }
    void nextPart()
    {
        ++m_part;
        m_off = 0;
    }
    void skipEmpty()
    {
        while (m_part < m_parts.size() && avail() == 0)
            nextPart();
    }

    std::vector<QByteArray> m_parts;
    size_t m_part = 0;
    qsizetype m_off = 0;
};

QString errorText(quint8 code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    case 0x2A: return QStringLiteral("#N/A");
    default: return QStringLiteral("#ERR%1").arg(code);
    }
}

// A number format holds date tokens outside quotes, brackets and escapes.
bool isDateFormat(const QString& f)
{
    bool quoted = false, bracket = false;
    for (qsizetype i = 0; i < f.size(); ++i) {
        const QChar c = f.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == QLatin1Char('[')) {
            bracket = true;
        } else if (c == QLatin1Char(']')) {
            bracket = false;
        } else if (bracket) {
            continue;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (QStringLiteral("ymdhsYMDHS").contains(c)) {
            return true;
        }
    }
    return false;
}

QString dateText(double serial, bool is1904)
{
    if (!(serial >= 0) || serial > 2958465.99999)
        return GeneralNumber(serial);
    double whole = std::floor(serial);
    qint64 secs = std::llround((serial - whole) * 86400.0);
    if (secs >= 86400) {
        whole += 1;
        secs -= 86400;
    }
    const qint64 days = qint64(whole);
    QString date;
    if (is1904) {
        date = QDate(1904, 1, 1).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    } else if (days == 60) {
        date = QStringLiteral("1900-02-29"); // the day the 1900 system believes in
    } else {
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (secs == 0)
        return date;
    const QString time = QTime(0, 0).addSecs(int(secs)).toString(QStringLiteral("hh:mm:ss"));
    return days == 0 && !is1904 ? time : date + QLatin1Char(' ') + time;
}

} // namespace

QString GeneralNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // Whole numbers and cents, the usual amounts, without the general conversion: the
    // same text as 15 significant digits give.
    if (std::abs(value) < 1e13) {
        const qint64 cents = std::llround(value * 100);
        if (double(cents) / 100 == value) {
            // Digits written backwards into a buffer, then one string.
            char buf[32];
            char* end = buf + sizeof buf;
            char* p = end;
            quint64 rest = quint64(cents < 0 ? -cents : cents);
            const int frac = int(rest % 100);
            if (frac % 10)
                *--p = char('0' + frac % 10);
            if (frac != 0) {
                *--p = char('0' + frac / 10);
                *--p = '.';
            }
            rest /= 100;
            do {
                *--p = char('0' + rest % 10);
                rest /= 10;
            } while (rest);
            if (cents < 0)
                *--p = '-';
            return QString::fromLatin1(p, end - p);
        }
    }
    return QString::number(value, 'g', 15);
}

double RkValue(quint32 rk)
{
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100.0 : v;
}

Cell& CellMap::operator[](const Key& key)
{
    if (m_cells.empty() || m_cells.back().first < key) {
        m_cells.push_back({key, Cell{}});
        return m_cells.back().second;
    }
    auto it = std::lower_bound(m_cells.begin(), m_cells.end(), key,
                               [](const Entry& e, const Key& k) { return e.first < k; });
    if (it == m_cells.end() || it->first != key)
        it = m_cells.insert(it, {key, Cell{}});
    return it->second;
}

CellMap::const_iterator CellMap::find(const Key& key) const
{
    // Cells are mostly read in order: the one after the last found comes first.
    if (m_hint < m_cells.size() && m_cells[m_hint].first == key)
        return m_cells.begin() + qsizetype(m_hint++);
    const auto it = std::lower_bound(m_cells.begin(), m_cells.end(), key,
                                     [](const Entry& e, const Key& k) { return e.first < k; });
    if (it == m_cells.end() || it->first != key)
        return m_cells.end();
    m_hint = size_t(it - m_cells.begin()) + 1;
    return it;
}

const Cell& CellMap::at(const Key& key) const
{
    const auto it = find(key);
    if (it == end())
        throw std::out_of_range("no such cell");
    return it->second;
}

std::vector<Record> ReadRecords(const QByteArray& stream, qsizetype from, bool stopAtEof, bool copyData)
{
    std::vector<Record> out;
    out.reserve(size_t(std::max<qsizetype>(0, stream.size() - from) / 16)); // cell records run about 16 bytes
    qsizetype pos = from;
    while (pos + 4 <= stream.size()) {
        Record r;
        r.pos = pos;
        r.id = u16(stream, pos);
        const quint16 len = u16(stream, pos + 2);
        if (pos + 4 + len > stream.size())
            throw XlsError(QStringLiteral("Record 0x%1 at %2 is truncated").arg(r.id, 4, 16, QLatin1Char('0')).arg(pos));
        r.data = copyData ? stream.mid(pos + 4, len) : QByteArray::fromRawData(stream.constData() + pos + 4, len);
        pos += 4 + len;
        const bool eof = r.id == kEof;
        out.push_back(std::move(r));
        if (eof && stopAtEof)
            return out;
        if (r.id == 0 && len == 0 && stopAtEof)
            break; // zero padding after the last record
    }
    if (stopAtEof)
        throw XlsError(QStringLiteral("The workbook stream ends before its EOF record"));
    return out;
}

Workbook Workbook::fromStream(const QByteArray& stream)
{
    Workbook wb;
    wb.readGlobals(stream);
    for (int xf = 0; xf < int(wb.m_xfs.size()); ++xf)
        wb.m_xfIsDate.push_back(wb.xfShowsDate(xf));
    for (SheetData& s : wb.m_sheets)
        wb.readSheet(stream, s);
    return wb;
}

Workbook Workbook::fromFile(const QByteArray& file)
{
    const CompoundFile cf = CompoundFile::parse(file);
    const int wb = cf.find(QStringLiteral("Workbook"));
    if (wb < 0) {
        if (cf.find(QStringLiteral("Book")) >= 0)
            throw XlsError(QStringLiteral("This is an Excel 5.0/95 (BIFF5) workbook; only Excel 97-2003 (BIFF8) workbooks are read"));
        throw XlsError(QStringLiteral("The file holds no workbook"));
    }
    return fromStream(cf.streamData(wb));
}

Workbook Workbook::open(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw XlsError(QStringLiteral("Cannot open \"%1\": %2").arg(path, f.errorString()));
    return fromFile(f.readAll());
}

void Workbook::readGlobals(const QByteArray& stream)
{
    const std::vector<Record> recs = ReadRecords(stream, 0, true, false);
    if (recs.empty() || recs[0].id != kBof || recs[0].data.size() < 4)
        throw XlsError(QStringLiteral("The workbook stream does not start with BOF"));
    if (u16(recs[0].data, 0) != 0x0600)
        throw XlsError(QStringLiteral("Not a BIFF8 workbook (version 0x%1)").arg(u16(recs[0].data, 0), 0, 16));
    std::vector<int> sheetOfBound; // BOUNDSHEET index -> worksheet index or -1
    int fontCount = 0;
    for (size_t i = 1; i < recs.size(); ++i) {
        const Record& r = recs[i];
        const QByteArray& d = r.data;
        switch (r.id) {
        case kFilePass:
            throw XlsError(QStringLiteral("The workbook is encrypted (password protected)"));
        case kBoundSheet: {
            ContinuedReader name({d.mid(6)});
            SheetData s;
            s.offset = u32(d, 0);
            const quint8 type = u8(d, 5);
            s.name = name.string(true);
            if (type == 0) {
                sheetOfBound.push_back(int(m_sheets.size()));
                m_sheets.push_back(std::move(s));
            } else {
                sheetOfBound.push_back(-1);
            }
            break;
        }
        case kSst: {
            std::vector<QByteArray> parts{d.mid(8)};
            for (size_t j = i + 1; j < recs.size() && recs[j].id == kContinue; ++j)
                parts.push_back(recs[j].data);
            const quint32 unique = u32(d, 4);
            ContinuedReader sst(std::move(parts));
            for (quint32 k = 0; k < unique && !sst.atEnd(); ++k)
                m_sst.push_back(sst.string(false));
            break;
        }
        case kFormat: {
            ContinuedReader f({d.mid(2)});
            m_formats[u16(d, 0)] = f.string(false);
            break;
        }
        case kFont:
            ++fontCount;
            m_fontBold.push_back(u16(d, 6) >= 700);
            break;
        case kXf: {
            Xf xf;
            xf.font = u16(d, 0);
            xf.format = u16(d, 2);
            xf.align = u8(d, 6);
            xf.borders = u16(d, 10);
            m_xfs.push_back(xf);
            break;
        }
        case kDateMode:
            m_1904 = u16(d, 0) == 1;
            break;
        case kExternSheet: {
            const quint16 n = u16(d, 0);
            for (quint16 k = 0; k < n; ++k)
                m_externSheets.push_back(u16(d, 2 + 6 * k + 2));
            break;
        }
        case kName: {
            const quint16 grbit = u16(d, 0);
            const int cch = u8(d, 3);
            const int cce = u16(d, 4);
            if (grbit & 0x20)
                break; // built-in names (print areas and the like) are no tables
            ContinuedReader n({d.mid(14)});
            const QString name = n.chars(cch, (n.number(1) & 1) != 0);
            const QByteArray rgce = n.bytes(cce);
            if (rgce.size() >= 11 && (quint8(rgce[0]) & 0x1F) == 0x1B) { // tArea3d
                DefinedName dn;
                dn.name = name;
                const quint16 ixti = u16(rgce, 1);
                dn.range = {u16(rgce, 3), u16(rgce, 5), u16(rgce, 7) & 0x3FFF, u16(rgce, 9) & 0x3FFF};
                if (ixti < m_externSheets.size()) {
                    const int bound = m_externSheets[ixti];
                    dn.sheet = bound < int(sheetOfBound.size()) ? sheetOfBound[size_t(bound)] : -1;
                }
                if (dn.sheet >= 0)
                    m_names.push_back(dn);
            }
            break;
        }
        default:
            break;
        }
    }
    for (const Xf& xf : m_xfs) {
        const int font = xf.font < 4 ? xf.font : xf.font - 1;
        if (font >= int(m_fontBold.size()) && fontCount > 0)
            throw XlsError(QStringLiteral("A cell format names font %1, which does not exist").arg(xf.font));
    }
}

bool Workbook::isDateXf(int xf) const
{
    return m_xfIsDate.at(size_t(xf));
}

bool Workbook::xfShowsDate(int xf) const
{
    const int f = m_xfs.at(size_t(xf)).format;
    if ((f >= 14 && f <= 22) || (f >= 45 && f <= 47))
        return true;
    const auto it = m_formats.find(f);
    return it != m_formats.end() && isDateFormat(it->second);
}

QString Workbook::numberText(double value, int xf) const
{
    return isDateXf(xf) ? dateText(value, m_1904) : GeneralNumber(value);
}

void Workbook::readSheet(const QByteArray& stream, SheetData& sheet)
{
    if (sheet.offset >= quint32(stream.size()))
        throw XlsError(QStringLiteral("Sheet '%1' lies outside the workbook stream").arg(sheet.name));
    const std::vector<Record> recs = ReadRecords(stream, sheet.offset, true, false);
    if (recs.empty() || recs[0].id != kBof)
        throw XlsError(QStringLiteral("Sheet '%1' does not start with BOF").arg(sheet.name));
    size_t cellCount = 0;
    for (const Record& r : recs)
        cellCount += r.id == kMulRk ? size_t(r.data.size()) / 6 : r.id == kMulBlank ? size_t(r.data.size()) / 2 : 1;
    sheet.cells.reserve(cellCount);
    auto checkXf = [this](int xf) {
        if (xf < 0 || xf >= int(m_xfs.size()))
            throw XlsError(QStringLiteral("A cell names format %1, which does not exist").arg(xf));
        return xf;
    };
    auto put = [&sheet](int row, int col, int xf, const QString& text, bool value) {
        Cell c;
        c.xf = xf;
        c.hasValue = value;
        if (!text.isEmpty()) {
            c.kind = Cell::Kind::Own;
            c.textIndex = int(sheet.texts.size());
            sheet.texts.push_back(text);
        }
        sheet.cells[{row, col}] = c;
    };
    auto putShared = [&sheet](int row, int col, int xf, int index) {
        sheet.cells[{row, col}] = Cell{0, xf, index, Cell::Kind::Shared, true};
    };
    auto putNumber = [&sheet](int row, int col, int xf, double number) {
        sheet.cells[{row, col}] = Cell{number, xf, -1, Cell::Kind::Number, true};
    };
    for (size_t i = 1; i < recs.size(); ++i) {
        const Record& r = recs[i];
        const QByteArray& d = r.data;
        if (r.id == kBof) {
            // An embedded substream (a chart): skip to its EOF.
            while (i < recs.size() && recs[i].id != kEof)
                ++i;
            continue;
        }
        switch (r.id) {
        case kLabelSst: {
            const quint32 isst = u32(d, 6);
            if (isst >= m_sst.size())
                throw XlsError(QStringLiteral("A cell names shared string %1 of %2").arg(isst).arg(m_sst.size()));
            putShared(u16(d, 0), u16(d, 2), checkXf(u16(d, 4)), int(isst));
            break;
        }
        case kLabel:
        case kRString: {
            ContinuedReader s({d.mid(6)});
            const int cch = int(s.number(2));
            const quint8 flags = quint8(s.number(1));
            put(u16(d, 0), u16(d, 2), checkXf(u16(d, 4)), cch ? s.chars(cch, flags & 1) : QString(), true);
            break;
        }
        case kNumber: {
            const int xf = checkXf(u16(d, 4));
            putNumber(u16(d, 0), u16(d, 2), xf, f64(d, 6));
            break;
        }
        case kRk: {
            const int xf = checkXf(u16(d, 4));
            putNumber(u16(d, 0), u16(d, 2), xf, RkValue(u32(d, 6)));
            break;
        }
        case kMulRk: {
            if (d.size() < 6 || (d.size() - 6) % 6 != 0)
                throw XlsError(QStringLiteral("A MULRK record has a bad length"));
            const int row = u16(d, 0), first = u16(d, 2);
            const int n = int((d.size() - 6) / 6);
            if (u16(d, d.size() - 2) != first + n - 1)
                throw XlsError(QStringLiteral("A MULRK record's columns do not add up"));
            for (int k = 0; k < n; ++k) {
                const int xf = checkXf(u16(d, 4 + 6 * k));
                putNumber(row, first + k, xf, RkValue(u32(d, 6 + 6 * k)));
            }
            break;
        }
        case kBlank:
            if (!sheet.cells.count({u16(d, 0), u16(d, 2)}))
                put(u16(d, 0), u16(d, 2), checkXf(u16(d, 4)), QString(), false);
            break;
        case kMulBlank: {
            if (d.size() < 6 || (d.size() - 6) % 2 != 0)
                throw XlsError(QStringLiteral("A MULBLANK record has a bad length"));
            const int row = u16(d, 0), first = u16(d, 2);
            const int n = int((d.size() - 6) / 2);
            for (int k = 0; k < n; ++k)
                put(row, first + k, checkXf(u16(d, 4 + 2 * k)), QString(), false);
            break;
        }
        case kBoolErr: {
            const quint8 v = u8(d, 6);
            const bool isError = u8(d, 7) != 0;
            put(u16(d, 0), u16(d, 2), checkXf(u16(d, 4)),
                isError ? errorText(v) : (v ? QStringLiteral("TRUE") : QStringLiteral("FALSE")), true);
            break;
        }
        case kFormula: {
            const int row = u16(d, 0), col = u16(d, 2), xf = checkXf(u16(d, 4));
            if (u16(d, 12) != 0xFFFF) {
                putNumber(row, col, xf, f64(d, 6));
                break;
            }
            switch (u8(d, 6)) {
            case 0: { // the text follows in a STRING record
                size_t j = i + 1;
                while (j < recs.size() && (recs[j].id == kShrFmla || recs[j].id == kArray || recs[j].id == kTable))
                    ++j;
                if (j >= recs.size() || recs[j].id != kString)
                    throw XlsError(QStringLiteral("A text formula has no STRING record"));
                std::vector<QByteArray> parts{recs[j].data};
                for (size_t k = j + 1; k < recs.size() && recs[k].id == kContinue; ++k)
                    parts.push_back(recs[k].data);
                ContinuedReader s(std::move(parts));
                put(row, col, xf, s.string(false), true);
                i = j;
                break;
            }
            case 1:
                put(row, col, xf, u8(d, 8) ? QStringLiteral("TRUE") : QStringLiteral("FALSE"), true);
                break;
            case 2:
                put(row, col, xf, errorText(u8(d, 8)), true);
                break;
            default:
                put(row, col, xf, QString(), false);
            }
            break;
        }
        case kMergedCells: {
            const quint16 n = u16(d, 0);
            for (quint16 k = 0; k < n; ++k)
                sheet.merges.push_back({u16(d, 2 + 8 * k), u16(d, 4 + 8 * k), u16(d, 6 + 8 * k), u16(d, 8 + 8 * k)});
            break;
        }
        case kColInfo: {
            const int first = u16(d, 0), last = std::min<int>(u16(d, 2), 255);
            for (int c = first; c <= last; ++c)
                sheet.colWidths[c] = u16(d, 4);
            break;
        }
        default:
            break;
        }
    }
}

int Workbook::sheetIndex(const QString& name) const
{
    for (int i = 0; i < sheetCount(); ++i)
        if (m_sheets[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Workbook::text(int sheet, int row, int col) const
{
    const auto& cells = m_sheets.at(size_t(sheet)).cells;
    const auto it = cells.find({row, col});
    if (it == cells.end())
        return QString();
    const Cell& c = it->second;
    switch (c.kind) {
    case Cell::Kind::Number:
        return numberText(c.number, c.xf);
    case Cell::Kind::Shared:
        return m_sst.at(size_t(c.textIndex));
    case Cell::Kind::Own:
        return m_sheets.at(size_t(sheet)).texts.at(size_t(c.textIndex));
    case Cell::Kind::Blank:
        break;
    }
    return QString();
}

CellFormat Workbook::format(int sheet, int row, int col) const
{
    CellFormat f;
    const auto& cells = m_sheets.at(size_t(sheet)).cells;
    const auto it = cells.find({row, col});
    if (it == cells.end() || it->second.xf >= int(m_xfs.size()))
        return f;
    const Xf& xf = m_xfs[size_t(it->second.xf)];
    const int font = xf.font < 4 ? xf.font : xf.font - 1;
    f.bold = font < int(m_fontBold.size()) && m_fontBold[size_t(font)];
    f.halign = HAlign(xf.align & 0x07);
    f.wrap = (xf.align & 0x08) != 0;
    f.valign = VAlign((xf.align >> 4) & 0x07);
    for (int b = 0; b < 4; ++b)
        f.borders[b] = (xf.borders >> (4 * b)) & 0x0F;
    f.formatIndex = xf.format;
    return f;
}

} // namespace xls
