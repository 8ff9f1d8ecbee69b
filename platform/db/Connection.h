#pragma once
#include "platform/db/DbError.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// The two properties of a connection string the engine needs; others are ignored.
struct ConnectionString {
    QString dataSource;
    QString password;

    static ConnectionString parse(const QString& text);
};

class RecordSet;

// One open database file. Opening never creates a file: a missing file, a wrong password
// or a file that is not a database fails with DbError.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A file whose schema version (PRAGMA user_version) is above maxSchemaVersion is left
    // untouched and refused with NewerDatabaseError; -1 accepts any version.
    void open(const QString& connectionString, int maxSchemaVersion = -1);
    // PRAGMA user_version of the open file.
    int schemaVersion();
    // Closes every record set bound to the connection, then the file.
    void close();
    bool isConnected() const { return m_db != nullptr; }
    QString dataSource() const { return m_dataSource; }

    // Writes a consistent copy of the open database to a new file at path, encrypted with
    // the same password: every committed row, whatever other connections are writing.
    // Fails with DbError when the file exists or cannot be written.
    void backupTo(const QString& path) const;

    // Runs one statement without result, values bound to its "?"; returns the rows changed.
    int execute(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertId() const;
    // Runs a text of one or more statements as one command (an update script's batch).
    void executeScript(const QString& sql);

    sqlite3* handle() const;
    int transactionDepth() const { return m_depth; }

    // Makes a new encrypted database file (for the build tool and tests); fails if it exists.
    static void createDatabase(const QString& path, const QString& password, const QString& schemaSql);

private:
    friend class Transaction;
    friend class RecordSet;
    void attach(RecordSet* rs);
    void detach(RecordSet* rs);
    // The fast way of backupTo when no other connection is writing; false when it could
    // not be taken.
    bool copyCheckpointedFile(const QString& path) const;
    static sqlite3* openFile(const QString& path, const QString& password, bool create, int maxSchemaVersion = -1);

    sqlite3* m_db = nullptr;
    QString m_dataSource;
    QString m_password;
    int m_depth = 0;
    std::vector<RecordSet*> m_recordSets;
};

// All writes between construction and commit() land together or not at all; nested guards
// become savepoints. Destroyed without commit() it rolls back.
class Transaction {
public:
    explicit Transaction(Connection& conn);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& m_conn;
    int m_level;
    bool m_done = false;
};

// A prepared statement, finalized with its owner.
class Statement {
public:
    Statement(const Connection& conn, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(const QVariantList& params);
    // Advances to the next row; false when done.
    bool step();
    int columnCount() const;
    QString columnName(int i) const;
    QString columnDeclType(int i) const;
    QString columnOrigin(int i) const;
    QVariant columnValue(int i) const;
    sqlite3_stmt* raw() const { return m_stmt; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
};

// Text form of date-times in the file.
inline constexpr const char* kStoredDateTimeFormat = "yyyy-MM-dd hh:mm:ss";

} // namespace db
