#pragma once
#include "platform/error/SlipError.h"

#include <QDateTime>
#include <QString>

#include <vector>

struct zip;

namespace maintenance {

// A backup archive that cannot be read, written or trusted.
class ArchiveError : public slip::Error {
public:
    using slip::Error::Error;
};

// One member of an archive as stored.
struct ArchiveMember {
    qint64 index = 0;
    QString name;      // as stored, "/" between folders
    qint64 size = 0;   // uncompressed
    QDateTime modified;
    bool isFolder = false;
    bool isLink = false;
};

// A ZIP archive, open for reading or for update; closed (and written) by close() or
// discarded when destroyed without it. Every failure raises ArchiveError.
class ZipArchive {
public:
    enum class Mode { Read, Update };
    // Update creates the file when it does not exist; an existing file must be an archive.
    ZipArchive(const QString& path, Mode mode);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    std::vector<ArchiveMember> members() const;
    // The index of the member of that exact name; -1 when there is none.
    qint64 find(const QString& name) const;
    // Adds the file under name, replacing a member of that name; deflated at level 6,
    // stamped with modified. The file is read when the archive is closed.
    void putFile(const QString& name, const QString& file, const QDateTime& modified);
    // Writes a member's bytes to a new file; fails when they do not come out whole.
    void extract(const ArchiveMember& member, const QString& file) const;
    // Writes the archive (for Update) and closes it.
    void close();

private:
    [[noreturn]] void fail(const QString& what) const;

    QString m_path;
    zip* m_zip = nullptr;
};

} // namespace maintenance
