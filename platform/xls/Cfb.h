#pragma once
#include <QByteArray>
#include <QString>

#include <vector>

namespace xls {

// One 128-byte directory entry of a compound file; raw keeps its bytes.
struct DirEntry {
    QByteArray raw;
    QString name;
    int type = 0; // 1 storage, 2 stream, 5 root
    quint32 start = 0;
    quint64 size = 0;
};

// A compound file (the container of .xls workbooks), read whole into memory. Every
// structure is checked: sector chains that loop or leave the file are refused.
class CompoundFile {
public:
    static CompoundFile parse(const QByteArray& file); // throws XlsError

    const std::vector<DirEntry>& entries() const { return m_entries; }
    // The stream entry of that name (letter case ignored); -1 when none.
    int find(const QString& name) const;
    QByteArray streamData(int entry) const;

    // A compound file of these entries (entry 0 the root; tree links kept as they are) and
    // the contents of their streams; sectors, start and size are laid out anew.
    static QByteArray build(std::vector<DirEntry> entries, const std::vector<QByteArray>& contents);
    // A new file with a root and one stream per name, as siblings.
    static QByteArray buildStreams(const std::vector<std::pair<QString, QByteArray>>& streams);

private:
    std::vector<quint32> chain(quint32 start, const std::vector<quint32>& table, quint32 limit) const;

    QByteArray m_file;
    quint32 m_sectorSize = 512;
    quint32 m_sectorCount = 0;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    QByteArray m_miniStream;
    std::vector<DirEntry> m_entries;
    quint32 m_cutoff = 4096;
};

} // namespace xls
