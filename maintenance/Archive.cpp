#include "maintenance/Archive.h"

#include <QFile>
#include <QStringDecoder>

#include <sys/stat.h>
#include <zip.h>

namespace maintenance {

namespace {

constexpr zip_uint32_t kDeflateLevel = 6;

QString openErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

// Names from other tools may be GBK; ours are UTF-8.
QString memberName(const char* raw)
{
    const QByteArray bytes(raw);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder gbk("GBK");
        name = gbk.decode(bytes);
    }
    return name;
}

} // namespace

ZipArchive::ZipArchive(const QString& path, Mode mode)
    : m_path(path)
{
    int code = 0;
    const int flags = mode == Mode::Read ? (ZIP_RDONLY | ZIP_CHECKCONS) : ZIP_CREATE;
    m_zip = zip_open(QFile::encodeName(path).constData(), flags, &code);
    if (!m_zip)
        throw ArchiveError(QStringLiteral("Cannot open the archive '%1': %2").arg(path, openErrorText(code)));
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

void ZipArchive::fail(const QString& what) const
{
    throw ArchiveError(QStringLiteral("%1 in '%2': %3").arg(what, m_path, QString::fromUtf8(zip_strerror(m_zip))));
}

std::vector<ArchiveMember> ZipArchive::members() const
{
    std::vector<ArchiveMember> out;
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(m_zip, zip_uint64_t(i), ZIP_FL_ENC_RAW, &st) != 0)
            fail(QStringLiteral("Cannot read member %1").arg(i));
        ArchiveMember m;
        m.index = i;
        m.name = memberName(st.name);
        m.size = (st.valid & ZIP_STAT_SIZE) ? qint64(st.size) : 0;
        if (st.valid & ZIP_STAT_MTIME)
            m.modified = QDateTime::fromSecsSinceEpoch(qint64(st.mtime));
        m.isFolder = m.name.endsWith(QLatin1Char('/'));
        zip_uint8_t opsys = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_zip, zip_uint64_t(i), 0, &opsys, &attributes) == 0
            && opsys == ZIP_OPSYS_UNIX)
            m.isLink = ((attributes >> 16) & S_IFMT) == S_IFLNK;
        out.push_back(m);
    }
    return out;
}

qint64 ZipArchive::find(const QString& name) const
{
    return zip_name_locate(m_zip, name.toUtf8().constData(), 0);
}

void ZipArchive::putFile(const QString& name, const QString& file, const QDateTime& modified)
{
    zip_source_t* source = zip_source_file(m_zip, QFile::encodeName(file).constData(), 0, -1);
    if (!source)
        fail(QStringLiteral("Cannot read '%1'").arg(file));
    const zip_int64_t index = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        fail(QStringLiteral("Cannot add '%1'").arg(name));
    }
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_DEFLATE, kDeflateLevel) != 0
        || zip_file_set_mtime(m_zip, zip_uint64_t(index), time_t(modified.toSecsSinceEpoch()), 0) != 0)
        fail(QStringLiteral("Cannot add '%1'").arg(name));
}

void ZipArchive::extract(const ArchiveMember& member, const QString& file) const
{
    zip_file_t* in = zip_fopen_index(m_zip, zip_uint64_t(member.index), 0);
    if (!in)
        fail(QStringLiteral("Cannot read '%1'").arg(member.name));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        zip_fclose(in);
        throw ArchiveError(QStringLiteral("Cannot write '%1': %2").arg(file, out.errorString()));
    }
    char buffer[64 * 1024];
    qint64 total = 0;
    zip_int64_t n = 0;
    bool written = true;
    // The library checks the member's checksum once it is read to the end.
    while ((n = zip_fread(in, buffer, sizeof buffer)) > 0) {
        written = written && out.write(buffer, n) == n;
        total += n;
    }
    const QString readError = n < 0 ? QString::fromUtf8(zip_file_strerror(in)) : QString();
    zip_fclose(in);
    out.close();
    if (n < 0)
        throw ArchiveError(QStringLiteral("'%1' in '%2' is damaged: %3").arg(member.name, m_path, readError));
    if (!written || out.error() != QFile::NoError)
        throw ArchiveError(QStringLiteral("Cannot write '%1': %2").arg(file, out.errorString()));
    if (total != member.size)
        throw ArchiveError(QStringLiteral("'%1' in '%2' is incomplete").arg(member.name, m_path));
}

void ZipArchive::close()
{
    if (zip_close(m_zip) != 0)
        fail(QStringLiteral("Cannot write the archive"));
    m_zip = nullptr;
}

} // namespace maintenance
