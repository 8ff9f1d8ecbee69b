#include "common/IniFile.h"
#include "common/Text.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QString keyOf(const QString& section, const QString& key)
{
    return section.trimmed().toLower() + QLatin1Char('\n') + key.trimmed().toLower();
}

QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? FromGbk(bytes) : text;
}

} // namespace

IniFile::IniFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    QString section;
    const auto lines = decode(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !m_values.contains(keyOf(section, line.left(eq))))
            m_values.insert(keyOf(section, line.left(eq)), line.mid(eq + 1).trimmed());
    }
}

QString IniFile::value(const QString& section, const QString& key, const QString& def) const
{
    return m_values.value(keyOf(section, key), def);
}
