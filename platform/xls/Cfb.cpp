#include "platform/xls/Cfb.h"
#include "platform/xls/Bytes.h"

#include <algorithm>
#include <unordered_set>

namespace xls {

namespace {

constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint32 kEnd = 0xFFFFFFFE;
constexpr quint32 kFatSect = 0xFFFFFFFD;
constexpr quint32 kDifSect = 0xFFFFFFFC;
constexpr quint32 kNoStream = 0xFFFFFFFF;
const QByteArray kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr quint32 kMiniSector = 64;
constexpr quint32 kCutoff = 4096;
constexpr quint32 kSector = 512; // files we write are version 3

} // namespace

std::vector<quint32> CompoundFile::chain(quint32 start, const std::vector<quint32>& table, quint32 limit) const
{
    std::vector<quint32> out;
    std::unordered_set<quint32> seen;
    for (quint32 s = start; s != kEnd;) {
        if (s >= limit || s >= table.size())
            throw XlsError(QStringLiteral("Sector %1 lies outside the file").arg(s));
        if (!seen.insert(s).second)
            throw XlsError(QStringLiteral("A sector chain loops at sector %1").arg(s));
        out.push_back(s);
        s = table[s];
        if (s == kFree || s == kFatSect || s == kDifSect)
            throw XlsError(QStringLiteral("A sector chain is broken"));
    }
    return out;
}

CompoundFile CompoundFile::parse(const QByteArray& file)
{
    CompoundFile cf;
    cf.m_file = file;
    if (file.size() < 512 || !file.startsWith(kSignature))
        throw XlsError(QStringLiteral("Not a compound document: no workbook file"));
    if (u16(file, 28) != 0xFFFE)
        throw XlsError(QStringLiteral("Bad byte order mark"));
    const quint16 shift = u16(file, 30);
    if (shift != 9 && shift != 12)
        throw XlsError(QStringLiteral("Unsupported sector size"));
    if (u16(file, 32) != 6)
        throw XlsError(QStringLiteral("Unsupported mini sector size"));
    cf.m_sectorSize = 1u << shift;
    const quint32 ss = cf.m_sectorSize;
    cf.m_sectorCount = quint32((file.size() - qsizetype(ss) + ss - 1) / ss);
    const quint32 numFat = u32(file, 44);
    const quint32 firstDir = u32(file, 48);
    cf.m_cutoff = u32(file, 56);
    if (cf.m_cutoff != kCutoff)
        throw XlsError(QStringLiteral("Unsupported mini stream cutoff"));
    const quint32 firstMiniFat = u32(file, 60);
    const quint32 firstDifat = u32(file, 68);
    const quint32 numDifat = u32(file, 72);
    if (numFat > cf.m_sectorCount || numDifat > cf.m_sectorCount)
        throw XlsError(QStringLiteral("Bad FAT size"));

    auto sectorBytes = [&](quint32 s) {
        if (s >= cf.m_sectorCount)
            throw XlsError(QStringLiteral("Sector %1 lies outside the file").arg(s));
        QByteArray b = file.mid(qsizetype(ss) * (s + 1), ss);
        b.resize(ss, '\0'); // a short last sector reads as zeros
        return b;
    };

    // The FAT sectors: 109 in the header, the rest in the DIFAT chain.
    std::vector<quint32> fatSectors;
    for (quint32 i = 0; i < 109 && fatSectors.size() < numFat; ++i)
        fatSectors.push_back(u32(file, 76 + 4 * i));
    std::unordered_set<quint32> seenDifat;
    quint32 difat = firstDifat;
    for (quint32 n = 0; fatSectors.size() < numFat; ++n) {
        if (difat == kEnd || difat == kFree || n >= numDifat + 1 || !seenDifat.insert(difat).second)
            throw XlsError(QStringLiteral("The DIFAT chain is broken"));
        const QByteArray d = sectorBytes(difat);
        for (quint32 i = 0; i < ss / 4 - 1 && fatSectors.size() < numFat; ++i)
            fatSectors.push_back(u32(d, 4 * i));
        difat = u32(d, ss - 4);
    }
    for (quint32 s : fatSectors) {
        const QByteArray d = sectorBytes(s);
        for (quint32 i = 0; i < ss / 4; ++i)
            cf.m_fat.push_back(u32(d, 4 * i));
    }

    auto readChain = [&](quint32 start) {
        QByteArray out;
        for (quint32 s : cf.chain(start, cf.m_fat, cf.m_sectorCount))
            out += sectorBytes(s);
        return out;
    };

    const QByteArray dir = readChain(firstDir);
    for (qsizetype off = 0; off + 128 <= dir.size(); off += 128) {
        DirEntry e;
        e.raw = dir.mid(off, 128);
        const quint16 nameLen = u16(e.raw, 64);
        e.type = u8(e.raw, 66);
        if (nameLen > 64 || nameLen % 2 != 0)
            throw XlsError(QStringLiteral("Bad directory entry name"));
        if (nameLen >= 2)
            e.name = QString::fromUtf16(reinterpret_cast<const char16_t*>(e.raw.constData()), nameLen / 2 - 1);
        e.start = u32(e.raw, 116);
        e.size = u32(e.raw, 120);
        if (shift == 12)
            e.size |= quint64(u32(e.raw, 124)) << 32;
        cf.m_entries.push_back(std::move(e));
    }
    if (cf.m_entries.empty() || cf.m_entries[0].type != 5)
        throw XlsError(QStringLiteral("The compound document has no root entry"));
    for (const DirEntry& e : cf.m_entries)
        if (e.type == 2 && e.size > quint64(file.size()) * 2 + 4096)
            throw XlsError(QStringLiteral("Stream '%1' claims more bytes than the file holds").arg(e.name));

    const DirEntry& root = cf.m_entries[0];
    if (root.size > 0) {
        cf.m_miniStream = readChain(root.start);
        if (quint64(cf.m_miniStream.size()) < root.size)
            throw XlsError(QStringLiteral("The mini stream is truncated"));
        cf.m_miniStream.truncate(qsizetype(root.size));
    }
    if (firstMiniFat != kEnd && firstMiniFat != kFree) {
        const QByteArray mf = readChain(firstMiniFat);
        for (qsizetype i = 0; i + 4 <= mf.size(); i += 4)
            cf.m_miniFat.push_back(u32(mf, i));
    }
    return cf;
}

int CompoundFile::find(const QString& name) const
{
    for (int i = 0; i < int(m_entries.size()); ++i)
        if (m_entries[i].type == 2 && m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QByteArray CompoundFile::streamData(int index) const
{
    const DirEntry& e = m_entries.at(index);
    QByteArray out;
    if (e.size < m_cutoff) {
        const quint32 miniCount = quint32(m_miniStream.size() / kMiniSector);
        for (quint32 s : chain(e.start, m_miniFat, miniCount))
            out += m_miniStream.mid(qsizetype(s) * kMiniSector, kMiniSector);
    } else {
        for (quint32 s : chain(e.start, m_fat, m_sectorCount)) {
            QByteArray b = m_file.mid(qsizetype(m_sectorSize) * (s + 1), m_sectorSize);
            b.resize(m_sectorSize, '\0');
            out += b;
        }
    }
    if (quint64(out.size()) < e.size)
        throw XlsError(QStringLiteral("Stream '%1' is truncated").arg(e.name));
    out.truncate(qsizetype(e.size));
    return out;
}

QByteArray CompoundFile::build(std::vector<DirEntry> entries, const std::vector<QByteArray>& contents)
{
    // Mini stream: small streams in 64-byte sectors, chained in the mini FAT.
    QByteArray mini;
    std::vector<quint32> miniFat;
    std::vector<int> bigStreams;
    for (size_t i = 0; i < entries.size(); ++i) {
        DirEntry& e = entries[i];
        if (e.type != 2)
            continue;
        const QByteArray& data = contents.at(i);
        e.size = quint64(data.size());
        if (data.isEmpty()) {
            e.start = kEnd;
        } else if (data.size() < qsizetype(kCutoff)) {
            const quint32 first = quint32(miniFat.size());
            const quint32 n = quint32((data.size() + kMiniSector - 1) / kMiniSector);
            for (quint32 k = 0; k < n; ++k)
                miniFat.push_back(k + 1 < n ? first + k + 1 : kEnd);
            e.start = first;
            QByteArray padded = data;
            padded.resize(qsizetype(n) * kMiniSector, '\0');
            mini += padded;
        } else {
            bigStreams.push_back(int(i));
        }
    }
    auto sectorsFor = [](qsizetype bytes) { return quint32((bytes + kSector - 1) / kSector); };
    QByteArray miniFatBytes;
    for (quint32 v : miniFat)
        put32(miniFatBytes, v);
    const quint32 dirSectors = sectorsFor(qsizetype(entries.size()) * 128);
    const quint32 miniFatSectors = sectorsFor(miniFatBytes.size());
    const quint32 miniSectors = sectorsFor(mini.size());
    quint32 dataSectors = dirSectors + miniFatSectors + miniSectors;
    for (int i : bigStreams)
        dataSectors += sectorsFor(contents[size_t(i)].size());
    // The FAT covers itself and the DIFAT sectors too.
    quint32 fatSectors = 0, difatSectors = 0;
    for (;;) {
        const quint32 total = fatSectors + difatSectors + dataSectors;
        const quint32 needFat = (total + kSector / 4 - 1) / (kSector / 4);
        const quint32 needDifat = needFat > 109 ? (needFat - 109 + kSector / 4 - 2) / (kSector / 4 - 1) : 0;
        if (needFat == fatSectors && needDifat == difatSectors)
            break;
        fatSectors = needFat;
        difatSectors = needDifat;
    }
    std::vector<quint32> fat(size_t(fatSectors) * (kSector / 4), kFree);
    quint32 next = 0;
    for (quint32 k = 0; k < fatSectors; ++k)
        fat[next++] = kFatSect;
    const quint32 firstDifat = difatSectors ? next : kEnd;
    for (quint32 k = 0; k < difatSectors; ++k)
        fat[next++] = kDifSect;
    auto allocate = [&](quint32 count) {
        const quint32 first = next;
        for (quint32 k = 0; k < count; ++k, ++next)
            fat[next] = k + 1 < count ? next + 1 : kEnd;
        return count ? first : kEnd;
    };
    const quint32 firstDir = allocate(dirSectors);
    const quint32 firstMiniFat = allocate(miniFatSectors);
    const quint32 firstMini = allocate(miniSectors);
    for (int i : bigStreams)
        entries[size_t(i)].start = allocate(sectorsFor(contents[size_t(i)].size()));
    entries[0].start = mini.isEmpty() ? kEnd : firstMini;
    entries[0].size = quint64(mini.size());

    QByteArray header;
    header += kSignature;
    header += QByteArray(16, '\0');
    put16(header, 0x3E);
    put16(header, 3);
    put16(header, 0xFFFE);
    put16(header, 9);
    put16(header, 6);
    header += QByteArray(6, '\0');
    put32(header, 0); // directory sectors: 0 in version 3
    put32(header, fatSectors);
    put32(header, firstDir);
    put32(header, 0);
    put32(header, kCutoff);
    put32(header, miniFatSectors ? firstMiniFat : kEnd);
    put32(header, miniFatSectors);
    put32(header, firstDifat);
    put32(header, difatSectors);
    for (quint32 k = 0; k < 109; ++k)
        put32(header, k < fatSectors ? k : kFree);

    QByteArray out = header;
    for (quint32 v : fat)
        put32(out, v);
    for (quint32 d = 0; d < difatSectors; ++d) {
        QByteArray sector;
        for (quint32 k = 0; k < kSector / 4 - 1; ++k) {
            const quint32 idx = 109 + d * (kSector / 4 - 1) + k;
            put32(sector, idx < fatSectors ? idx : kFree);
        }
        put32(sector, d + 1 < difatSectors ? fatSectors + d + 1 : kEnd);
        out += sector;
    }
    auto appendPadded = [&out](const QByteArray& data) {
        out += data;
        const qsizetype rest = data.size() % kSector;
        if (rest)
            out += QByteArray(kSector - rest, '\0');
    };
    QByteArray dir;
    for (DirEntry& e : entries) {
        QByteArray raw = e.raw;
        raw.resize(128, '\0');
        set32(raw, 116, e.start);
        set32(raw, 120, quint32(e.size));
        set32(raw, 124, 0);
        dir += raw;
    }
    while (dir.size() % kSector) {
        QByteArray empty(128, '\0');
        set32(empty, 68, kNoStream);
        set32(empty, 72, kNoStream);
        set32(empty, 76, kNoStream);
        dir += empty;
    }
    appendPadded(dir);
    appendPadded(miniFatBytes);
    appendPadded(mini);
    for (int i : bigStreams)
        appendPadded(contents[size_t(i)]);
    return out;
}

QByteArray CompoundFile::buildStreams(const std::vector<std::pair<QString, QByteArray>>& streams)
{
    auto entry = [](const QString& name, int type) {
        DirEntry e;
        e.name = name;
        e.type = type;
        e.raw = QByteArray(128, '\0');
        const QString n = name.left(31);
        for (int i = 0; i < n.size(); ++i)
            set16(e.raw, 2 * i, n.at(i).unicode());
        set16(e.raw, 64, quint16((n.size() + 1) * 2));
        e.raw[66] = char(type);
        e.raw[67] = 1; // black
        set32(e.raw, 68, kNoStream);
        set32(e.raw, 72, kNoStream);
        set32(e.raw, 76, kNoStream);
        return e;
    };
    std::vector<DirEntry> entries{entry(QStringLiteral("Root Entry"), 5)};
    std::vector<QByteArray> contents{QByteArray()};
    // Siblings in the directory order: shorter names first, then by upper-case name.
    auto sorted = streams;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size()
                                                : a.first.toUpper() < b.first.toUpper();
    });
    for (const auto& [name, data] : sorted) {
        entries.push_back(entry(name, 2));
        contents.push_back(data);
    }
    // A degenerate but valid tree: the root's child is the first stream, each stream's
    // right sibling the next. All black, so no red-black rule is broken.
    if (entries.size() > 1)
        set32(entries[0].raw, 76, 1);
    for (size_t i = 1; i + 1 < entries.size(); ++i)
        set32(entries[i].raw, 72, quint32(i + 1));
    return build(std::move(entries), contents);
}

} // namespace xls
