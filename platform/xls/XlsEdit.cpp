#include "platform/xls/XlsEdit.h"
#include "platform/xls/Biff.h"
#include "platform/xls/Bytes.h"
#include "platform/xls/Cfb.h"
#include "platform/xls/XlsWriter.h"

#include <algorithm>

namespace xls {

namespace {

struct Bound {
    qsizetype recordPos; // of the BOUNDSHEET record in the old globals
    quint32 offset;
    QString name;
};

// The globals' BOUNDSHEET records, with the sheet names.
std::vector<Bound> boundSheets(const std::vector<Record>& globals)
{
    std::vector<Bound> out;
    for (const Record& r : globals) {
        if (r.id != kBoundSheet)
            continue;
        const int cch = u8(r.data, 6);
        const bool high = u8(r.data, 7) & 1;
        QString name;
        for (int i = 0; i < cch; ++i)
            name += QChar(char16_t(high ? u16(r.data, 8 + 2 * i) : u8(r.data, 8 + i)));
        out.push_back({r.pos, u32(r.data, 0), name});
    }
    return out;
}

// Where a sheet's substream ends: after the EOF that closes its BOF (charts nest).
qsizetype substreamEnd(const QByteArray& bytes)
{
    int depth = 0;
    qsizetype pos = 0;
    while (pos + 4 <= bytes.size()) {
        const quint16 id = u16(bytes, pos);
        const qsizetype len = u16(bytes, pos + 2);
        if (pos + 4 + len > bytes.size())
            throw XlsError(QStringLiteral("A sheet record is truncated"));
        pos += 4 + len;
        if (id == kBof)
            ++depth;
        else if (id == kEof && --depth <= 0)
            return pos;
    }
    throw XlsError(QStringLiteral("A sheet has no EOF record"));
}

// Moves the absolute stream positions of a sheet's INDEX record by delta.
void shiftIndex(QByteArray& sheetBytes, qint64 delta)
{
    if (delta == 0)
        return;
    for (const Record& r : ReadRecords(sheetBytes.left(substreamEnd(sheetBytes)), 0, false)) {
        if (r.id != kIndex)
            continue;
        const qsizetype data = r.pos + 4;
        if (r.data.size() < 16)
            throw XlsError(QStringLiteral("An INDEX record is too short"));
        for (qsizetype off = 12; off + 4 <= r.data.size(); off += 4) {
            const quint32 v = u32(r.data, off);
            if (v != 0)
                set32(sheetBytes, data + off, quint32(qint64(v) + delta));
        }
        return;
    }
}

} // namespace

QByteArray ReplaceCellTexts(const QByteArray& file, const QString& sheetName,
                            const std::map<std::pair<int, int>, QString>& texts)
{
    const CompoundFile cf = CompoundFile::parse(file);
    const int wbEntry = cf.find(QStringLiteral("Workbook"));
    if (wbEntry < 0)
        throw XlsError(QStringLiteral("The file holds no BIFF8 workbook"));
    const QByteArray stream = cf.streamData(wbEntry);
    // Reading it whole first proves every structure before anything is written.
    const Workbook book = Workbook::fromStream(stream);
    const std::vector<Record> globals = ReadRecords(stream, 0, true);
    std::vector<Bound> bounds = boundSheets(globals);
    const auto target = std::find_if(bounds.begin(), bounds.end(), [&](const Bound& b) {
        return b.name.compare(sheetName, Qt::CaseInsensitive) == 0;
    });
    if (target == bounds.end())
        throw XlsError(QStringLiteral("The workbook has no sheet '%1'").arg(sheetName));
    const qsizetype globalsEnd = globals.back().pos + 4 + globals.back().data.size();

    // Sheets in stream order; each owns the bytes up to the next one.
    std::vector<size_t> order(bounds.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return bounds[a].offset < bounds[b].offset; });
    for (size_t i : order)
        if (bounds[i].offset < quint32(globalsEnd) || bounds[i].offset >= quint32(stream.size()))
            throw XlsError(QStringLiteral("Sheet '%1' lies outside the workbook stream").arg(bounds[i].name));

    // New strings go after the existing table; the edited sheet's cells point at them.
    const quint32 firstNew = quint32(book.sharedStrings().size());
    std::vector<QString> added;
    const size_t targetIdx = size_t(target - bounds.begin());
    const qsizetype tStart = bounds[targetIdx].offset;
    const auto tPos = std::find(order.begin(), order.end(), targetIdx);
    const qsizetype tEnd = tPos + 1 == order.end() ? stream.size() : qsizetype(bounds[*(tPos + 1)].offset);
    const QByteArray segment = stream.mid(tStart, tEnd - tStart);
    const qsizetype sheetLen = substreamEnd(segment);
    const QByteArray oldSheet = segment.left(sheetLen);
    const QByteArray tail = segment.mid(sheetLen); // whatever follows the sheet's EOF stays
    QByteArray newSheet;
    bool resized = false;
    std::map<std::pair<int, int>, QString> pending = texts;
    const std::vector<Record> sheetRecs = ReadRecords(oldSheet, 0, false);
    for (const Record& r : sheetRecs) {
        QByteArray rec = oldSheet.mid(r.pos, 4 + r.data.size());
        const bool textCell = r.id == kLabelSst || r.id == kLabel || r.id == kRString;
        const auto it = textCell && r.data.size() >= 6 ? pending.find({u16(r.data, 0), u16(r.data, 2)}) : pending.end();
        if (it != pending.end()) {
            const quint32 isst = firstNew + quint32(added.size());
            added.push_back(it->second);
            pending.erase(it);
            if (r.id == kLabelSst) {
                set32(rec, 4 + 6, isst);
            } else {
                QByteArray d = r.data.left(6);
                put32(d, isst);
                rec = MakeRecord(kLabelSst, d);
                resized = true;
            }
        }
        newSheet += rec;
    }
    if (!pending.empty())
        throw XlsError(QStringLiteral("Cell (%1, %2) of sheet '%3' holds no text to replace")
                           .arg(pending.begin()->first.first)
                           .arg(pending.begin()->first.second)
                           .arg(sheetName));
    if (resized) {
        // Row offsets no longer hold; INDEX and DBCELL are optional and go.
        QByteArray pruned;
        for (const Record& r : ReadRecords(newSheet, 0, false))
            if (r.id != kIndex && r.id != kDbCell)
                pruned += MakeRecord(r.id, r.data);
        newSheet = pruned;
    }
    newSheet += tail;

    // Globals: the old table stays byte for byte, the new strings follow it; the lookup
    // table EXTSST would no longer cover them and goes.
    QByteArray newGlobals;
    std::vector<qsizetype> boundAt; // new position of each BOUNDSHEET record
    bool haveSst = false;
    for (size_t i = 0; i < globals.size(); ++i) {
        const Record& r = globals[i];
        if (r.id == kExtSst)
            continue;
        if (r.id == kEof && !haveSst) {
            newGlobals += SstRecords(added, quint32(added.size()));
            haveSst = true;
        }
        if (r.id == kBoundSheet)
            boundAt.push_back(newGlobals.size());
        QByteArray rec = stream.mid(r.pos, 4 + r.data.size());
        if (r.id == kSst) {
            // The old records stay as they are; new strings fill the last one and run on.
            haveSst = true;
            size_t last = i;
            while (last + 1 < globals.size() && globals[last + 1].id == kContinue)
                ++last;
            QByteArray sstData = r.data;
            set32(sstData, 0, u32(r.data, 0) + quint32(added.size()));
            set32(sstData, 4, u32(r.data, 4) + quint32(added.size()));
            if (last == i) {
                newGlobals += AppendStrings(kSst, sstData, added);
            } else {
                newGlobals += MakeRecord(kSst, sstData);
                for (size_t j = i + 1; j < last; ++j)
                    newGlobals += stream.mid(globals[j].pos, 4 + globals[j].data.size());
                newGlobals += AppendStrings(kContinue, globals[last].data, added);
            }
            i = last;
            continue;
        }
        newGlobals += rec;
    }
    // Anything between the globals' EOF and the first sheet stays.
    newGlobals += stream.mid(globalsEnd, qsizetype(bounds[order.front()].offset) - globalsEnd);

    QByteArray out = newGlobals;
    std::vector<quint32> newOffset(bounds.size());
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        const qsizetype start = bounds[i].offset;
        const qsizetype end = k + 1 == order.size() ? stream.size() : qsizetype(bounds[order[k + 1]].offset);
        newOffset[i] = quint32(out.size());
        QByteArray bytes = i == targetIdx ? newSheet : stream.mid(start, end - start);
        if (i != targetIdx || !resized)
            shiftIndex(bytes, qint64(out.size()) - start);
        out += bytes;
    }
    for (size_t i = 0; i < bounds.size(); ++i)
        set32(out, boundAt[i] + 4, newOffset[i]);

    std::vector<DirEntry> entries = cf.entries();
    std::vector<QByteArray> contents;
    for (int e = 0; e < int(entries.size()); ++e)
        contents.push_back(entries[size_t(e)].type == 2 ? (e == wbEntry ? out : cf.streamData(e)) : QByteArray());
    return CompoundFile::build(std::move(entries), contents);
}

} // namespace xls
