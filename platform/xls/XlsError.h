#pragma once
#include <QString>

#include <stdexcept>

namespace xls {

// A workbook that cannot be read or written: damaged, encrypted, of another format.
class XlsError : public std::runtime_error {
public:
    explicit XlsError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace xls
