#pragma once
#include <QString>

#include <stdexcept>

namespace slip {

// The one base of every error the program's layers raise: database, files, workbooks,
// reports, archives. It carries the message the layer gives; the user action decides
// what the operator sees.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace slip
