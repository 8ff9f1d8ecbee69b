#pragma once
#include "platform/db/Connection.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

namespace db {

enum class FieldType { Integer, Float, Text, DateTime };
enum class LockType { Optimistic, BatchOptimistic };

class RecordSet;

// One field of a record set's current row (or of the row being edited).
class Field {
public:
    Field(RecordSet& rs, int index) : m_rs(rs), m_index(index) {}

    QString name() const;
    FieldType type() const;
    bool isNull() const;
    QVariant value() const;
    // Null gives empty text; numbers in general format; date-times as stored.
    QString asString() const;
    // Null gives 0; text that is not a number fails with DbError.
    qint64 asInteger() const;
    double asFloat() const;
    QDateTime asDateTime() const;
    // The value through the field's display format (numbers and date-times).
    QString displayText() const;

    // Need the record set in edit or insert state; converted to the field's type.
    void setValue(const QVariant& v);
    void setAsString(const QString& text);
    void clear();

private:
    RecordSet& m_rs;
    int m_index;
};

// A static, client-side snapshot of a statement's rows. Changes are posted into the
// snapshot; with Optimistic locking each post also writes to the file at once, with
// BatchOptimistic they wait for updateBatch(). Writes go to the table of the statement's
// FROM clause, located by its ID column (or by all original values where there is none).
class RecordSet : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Browse, Edit, Insert };
    using CalcFn = std::function<QVariant(const RecordSet&, int shownRow)>;

    explicit RecordSet(Connection& conn, QObject* parent = nullptr);
    ~RecordSet() override;

    // Statement and its "?" values; only while closed.
    void setSql(const QString& sql, const QVariantList& params = {});
    QString sql() const { return m_sql; }
    void setLockType(LockType t);
    LockType lockType() const { return m_lock; }
    // A field computed per shown row, added after the statement's columns at open.
    void addCalculatedField(const QString& name, FieldType type, CalcFn fn);

    void open();
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    State state() const { return m_state; }

    // Navigation over the shown order.
    void first();
    void next();
    void prior();
    void last();
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const;           // 1-based; 0 when empty
    void setRecNo(int recNo);    // 1-based

    int fieldCount() const;
    int fieldIndex(const QString& name) const; // -1 when unknown; letter case ignored
    Field field(int index);
    Field fieldByName(const QString& name);
    QString fieldName(int index) const;
    FieldType fieldType(int index) const;
    // Kept by field name across close and open, like a persistent field's format.
    void setDisplayFormat(const QString& fieldName, const QString& format);
    QString displayFormat(int index) const;

    // Direct access to a shown row, for views.
    QVariant valueAt(int shownRow, int field) const;
    QString displayTextAt(int shownRow, int field) const;

    void edit();
    void append();
    void post();
    void cancel();
    void deleteRow();
    // Writes every pending change in one transaction; on failure nothing is written and
    // the changes stay pending.
    void updateBatch();
    // The same for several record sets on one connection, all in one transaction.
    static void updateBatch(std::initializer_list<RecordSet*> sets);
    void cancelBatch();
    bool hasPendingChanges() const;

    bool locate(const QString& fieldName, const QVariant& value, bool caseInsensitive);
    // Orders the shown rows by one field; nulls sort first when ascending.
    void sort(const QString& fieldName, bool ascending);

signals:
    // The whole content changed (open, close, sort, cancelBatch).
    void reset();
    void rowAboutToBeRemoved(int shownRow);
    void rowRemoved(int shownRow);
    void rowAboutToBeInserted(int shownRow);
    void rowInserted(int shownRow);
    void rowChanged(int shownRow);
    void currentChanged();

private:
    friend class Field;
    enum class RowState { Unchanged, Modified, Inserted, Deleted };
    struct Row {
        std::vector<QVariant> values;
        std::vector<QVariant> original; // empty while the row is as read
        RowState state = RowState::Unchanged;
        const std::vector<QVariant>& originalValues() const { return original.empty() ? values : original; }
    };
    struct FieldDef {
        QString name;
        QString column; // base table column; empty for calculated and expression fields
        FieldType type = FieldType::Text;
        QString format;
        CalcFn calc;
    };

    void requireOpen() const;
    void requireCurrent() const;
    QVariant currentValue(int field) const;
    void setCurrentValue(int field, const QVariant& v);
    void writeRow(Row& row);
    void moveTo(int pos);
    int keyField() const;
    QVariant convert(const QVariant& v, FieldType t, const QString& name) const;

    Connection& m_conn;
    QString m_sql;
    QVariantList m_params;
    LockType m_lock = LockType::Optimistic;
    State m_state = State::Closed;
    QString m_table;
    std::vector<FieldDef> m_fields;
    std::vector<FieldDef> m_calcFields;
    QHash<QString, QString> m_formats; // lower-case field name -> display format
    std::vector<std::shared_ptr<Row>> m_rows;  // storage order, deleted rows included
    std::vector<std::shared_ptr<Row>> m_shown; // the shown order
    int m_pos = 0;                             // index into m_shown; == size at eof
    bool m_bof = true;
    std::vector<QVariant> m_buffer;            // the row being edited or inserted
};

} // namespace db
