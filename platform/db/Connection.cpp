#include "platform/db/Connection.h"
#include "platform/db/JetSql.h"
#include "platform/db/RecordSet.h"
#include "platform/db/TextOrder.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace db {

namespace {

constexpr int kBusyTimeoutMs = 10000;

QString lastError(sqlite3* db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

void execRaw(sqlite3* db, const char* sql)
{
    char* err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw DbError(msg);
    }
}

int userVersion(sqlite3* db)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &st, nullptr) != SQLITE_OK)
        throw DbError(lastError(db));
    const int v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
    sqlite3_finalize(st);
    return v;
}

} // namespace

ConnectionString ConnectionString::parse(const QString& text)
{
    ConnectionString cs;
    const auto parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed();
        QString value = part.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')))
            && value.endsWith(value.front()))
            value = value.mid(1, value.size() - 2);
        if (key.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
            cs.dataSource = value;
        else if (key.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive) == 0)
            cs.password = value;
    }
    return cs;
}

Connection::~Connection()
{
    close();
}

sqlite3* Connection::openFile(const QString& path, const QString& password, bool create, int maxSchemaVersion)
{
    const QFileInfo info(path);
    if (!create && !info.isFile())
        throw DbError(QStringLiteral("Could not find file '%1'.").arg(path));
    // The engine would take an empty file for a new database and fill it.
    if (!create && info.size() == 0)
        throw DbError(QStringLiteral("'%1' is not a database file.").arg(path));
    if (create && info.exists())
        throw DbError(QStringLiteral("File '%1' already exists.").arg(path));

    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        const QString msg = db ? lastError(db) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw DbError(QStringLiteral("Cannot open '%1': %2").arg(path, msg));
    }
    try {
        if (!password.isEmpty()) {
            const QByteArray key = password.toUtf8();
            if (sqlite3_key(db, key.constData(), int(key.size())) != SQLITE_OK)
                throw DbError(lastError(db));
            // SQLCipher 4 needs this to read files made by 3.x; 3.x ignores the pragma.
            execRaw(db, "PRAGMA cipher_compatibility = 3");
        }
        // Reading the schema proves the key and the file format.
        execRaw(db, "SELECT count(*) FROM sqlite_master");
        registerTextFunctions(db);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // Checked before anything is written, journal mode included.
        if (const int version = userVersion(db); maxSchemaVersion >= 0 && version > maxSchemaVersion) {
            sqlite3_close(db);
            throw NewerDatabaseError(QStringLiteral("'%1' was written by a newer program (schema version %2).")
                                         .arg(path).arg(version));
        }
        execRaw(db, "PRAGMA journal_mode = WAL");
    } catch (const NewerDatabaseError&) {
        throw;
    } catch (const DbError& e) {
        sqlite3_close(db);
        throw DbError(QStringLiteral("Not a valid password or database file '%1': %2").arg(path, e.message()));
    }
    return db;
}

void Connection::open(const QString& connectionString, int maxSchemaVersion)
{
    close();
    const ConnectionString cs = ConnectionString::parse(connectionString);
    m_db = openFile(cs.dataSource, cs.password, false, maxSchemaVersion);
    m_dataSource = cs.dataSource;
    m_password = cs.password;
}

bool Connection::copyCheckpointedFile(const QString& path) const
{
    sqlite3* db = handle();
    if (m_depth > 0)
        return false;
    // Without waiting: while another connection reads, the engine's copy is the way.
    sqlite3_busy_timeout(db, 0);
    const int rc = sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (rc != SQLITE_OK)
        return false;
    // A read transaction begun on an empty journal reads the file alone, and no checkpoint
    // writes to the file while it lasts: the file's bytes are then one snapshot.
    execRaw(db, "BEGIN");
    bool copied = false;
    try {
        execRaw(db, "SELECT count(*) FROM sqlite_master");
        if (QFileInfo(m_dataSource + QStringLiteral("-wal")).size() == 0)
            copied = QFile::copy(m_dataSource, path);
    } catch (const DbError&) {
        copied = false; // the engine's own copy below reports what is wrong
    }
    execRaw(db, "COMMIT");
    return copied;
}

void Connection::backupTo(const QString& path) const
{
    sqlite3* source = handle();
    if (copyCheckpointedFile(path))
        return;
    sqlite3* target = openFile(path, m_password, true);
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (!copy) {
        const QString msg = lastError(target);
        sqlite3_close(target);
        QFile::remove(path);
        throw DbError(QStringLiteral("Cannot copy the database to '%1': %2").arg(path, msg));
    }
    // All pages in one step: the copy is one snapshot of the source.
    const int rc = sqlite3_backup_step(copy, -1);
    sqlite3_backup_finish(copy);
    QString msg;
    if (rc != SQLITE_DONE)
        msg = QString::fromUtf8(sqlite3_errstr(rc));
    else if (char* err = nullptr; sqlite3_exec(target, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, &err) != SQLITE_OK) {
        msg = QString::fromUtf8(err ? err : "checkpoint failed");
        sqlite3_free(err);
    }
    sqlite3_close(target);
    if (!msg.isEmpty()) {
        QFile::remove(path);
        throw DbError(QStringLiteral("Cannot copy the database to '%1': %2").arg(path, msg));
    }
}

void Connection::createDatabase(const QString& path, const QString& password, const QString& schemaSql)
{
    sqlite3* db = openFile(path, password, true);
    try {
        execRaw(db, schemaSql.toUtf8().constData());
        execRaw(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}

void Connection::close()
{
    // Record sets detach themselves while closing, so work on a copy.
    const auto sets = m_recordSets;
    for (RecordSet* rs : sets)
        rs->close();
    m_recordSets.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_depth = 0;
}

int Connection::schemaVersion()
{
    return userVersion(handle());
}

sqlite3* Connection::handle() const
{
    if (!m_db)
        throw DbError(QStringLiteral("Operation is not allowed when the connection is closed."));
    return m_db;
}

int Connection::execute(const QString& sql, const QVariantList& params)
{
    Statement st(*this, translateJetSql(sql));
    st.bind(params);
    while (st.step()) {
    }
    return sqlite3_changes(m_db);
}

void Connection::executeScript(const QString& sql)
{
    execRaw(handle(), sql.toUtf8().constData());
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(handle());
}

void Connection::attach(RecordSet* rs)
{
    if (std::find(m_recordSets.begin(), m_recordSets.end(), rs) == m_recordSets.end())
        m_recordSets.push_back(rs);
}

void Connection::detach(RecordSet* rs)
{
    m_recordSets.erase(std::remove(m_recordSets.begin(), m_recordSets.end(), rs), m_recordSets.end());
}

Transaction::Transaction(Connection& conn)
    : m_conn(conn), m_level(conn.m_depth)
{
    if (m_level == 0)
        execRaw(conn.handle(), "BEGIN IMMEDIATE");
    else
        execRaw(conn.handle(), QStringLiteral("SAVEPOINT sp%1").arg(m_level).toUtf8().constData());
    ++conn.m_depth;
}

Transaction::~Transaction()
{
    if (m_done || !m_conn.isConnected())
        return;
    --m_conn.m_depth;
    // A failed rollback leaves nothing more to undo; the engine rolls back by itself.
    if (m_level == 0) {
        sqlite3_exec(m_conn.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        const QByteArray sp = QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1").arg(m_level).toUtf8();
        sqlite3_exec(m_conn.m_db, sp.constData(), nullptr, nullptr, nullptr);
    }
}

void Transaction::commit()
{
    if (m_done)
        return;
    if (m_level == 0)
        execRaw(m_conn.handle(), "COMMIT");
    else
        execRaw(m_conn.handle(), QStringLiteral("RELEASE sp%1").arg(m_level).toUtf8().constData());
    m_done = true;
    --m_conn.m_depth;
}

Statement::Statement(const Connection& conn, const QString& sql)
    : m_db(conn.handle()), m_sql(sql)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK) {
        const QString msg = lastError(m_db);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw DbError(msg);
    }
    if (!m_stmt)
        throw DbError(QStringLiteral("Empty statement."));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

void Statement::bind(const QVariantList& params)
{
    // A statement is bound again for every row it writes.
    sqlite3_reset(m_stmt);
    if (params.size() != sqlite3_bind_parameter_count(m_stmt))
        throw DbError(QStringLiteral("Statement expects %1 values, %2 given.")
                          .arg(sqlite3_bind_parameter_count(m_stmt)).arg(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params.at(i);
        const int pos = i + 1;
        int rc = SQLITE_OK;
        if (v.isNull() || !v.isValid()) {
            rc = sqlite3_bind_null(m_stmt, pos);
        } else {
            switch (v.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(m_stmt, pos, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_stmt, pos, v.toDouble());
                break;
            case QMetaType::QDateTime: {
                const QByteArray t = v.toDateTime().toString(QLatin1String(kStoredDateTimeFormat)).toUtf8();
                rc = sqlite3_bind_text(m_stmt, pos, t.constData(), int(t.size()), SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob(m_stmt, pos, b.constData(), int(b.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text(m_stmt, pos, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            }
            }
        }
        if (rc != SQLITE_OK)
            throw DbError(lastError(m_db));
    }
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw DbError(lastError(m_db));
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

QString Statement::columnDeclType(int i) const
{
    return QString::fromUtf8(sqlite3_column_decltype(m_stmt, i));
}

QString Statement::columnOrigin(int i) const
{
    return QString::fromUtf8(sqlite3_column_origin_name(m_stmt, i));
}

QVariant Statement::columnValue(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, i)),
                                          sqlite3_column_bytes(m_stmt, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, i)),
                                   sqlite3_column_bytes(m_stmt, i)));
    default:
        return QVariant();
    }
}

} // namespace db
