#pragma once
#include <QString>
#include <stdexcept>

namespace db {

// Every failure of the database layer: open, prepare, step, write, conversion.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace db
