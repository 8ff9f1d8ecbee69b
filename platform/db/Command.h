#pragma once
#include "Connection.h"

namespace db {

// A statement without result bound to a connection; failures raise DbError.
class Command {
public:
    explicit Command(Connection& conn) : m_conn(conn) {}
    void setCommandText(const QString& sql) { m_sql = sql; }
    QString commandText() const { return m_sql; }
    int execute(const QVariantList& params = {}) { return m_conn.execute(m_sql, params); }

private:
    Connection& m_conn;
    QString m_sql;
};

} // namespace db
