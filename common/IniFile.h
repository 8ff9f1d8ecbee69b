#pragma once
#include <QHash>
#include <QString>

// A read-only "[Section] key=value" file. Section and key names ignore letter case; the
// file may be UTF-8 or GBK. A missing file reads as empty.
class IniFile {
public:
    explicit IniFile(const QString& path);
    // The key's value, or def when the section or key is missing.
    QString value(const QString& section, const QString& key, const QString& def) const;

private:
    QHash<QString, QString> m_values; // "section\nkey" in lower case
};
