#include "platform/db/RecordSet.h"
#include "platform/db/TextOrder.h"
#include "platform/db/DisplayFormat.h"
#include "platform/db/JetSql.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace db {

namespace {

FieldType typeOfDecl(const QString& decl)
{
    const QString d = decl.toUpper();
    if (d.contains(QLatin1String("INT")))
        return FieldType::Integer;
    if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME")))
        return FieldType::DateTime;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) || d.contains(QLatin1String("DOUB"))
        || d.contains(QLatin1String("NUM")) || d.contains(QLatin1String("DEC")) || d.contains(QLatin1String("MONEY")))
        return FieldType::Float;
    return FieldType::Text;
}

// Date-times stay as their stored text ("yyyy-MM-dd hh:mm:ss") until someone reads them.
QDateTime toDateTime(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    const QString s = v.toString();
    auto num = [&s](int from, int len) {
        int n = 0;
        for (int i = from; i < from + len; ++i) {
            const char16_t c = s.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c - u'0');
        }
        return n;
    };
    if (s.size() == 19 && s.at(4) == u'-' && s.at(7) == u'-' && s.at(13) == u':' && s.at(16) == u':') {
        const QDate d(num(0, 4), num(5, 2), num(8, 2));
        const QTime t(num(11, 2), num(14, 2), num(17, 2));
        if (d.isValid() && t.isValid())
            return QDateTime(d, t);
    }
    if (s.size() == 10) {
        const QDate d(num(0, 4), num(5, 2), num(8, 2));
        if (d.isValid())
            return QDateTime(d, QTime(0, 0));
    }
    QDateTime dt = QDateTime::fromString(s, QLatin1String(kStoredDateTimeFormat));
    if (!dt.isValid())
        dt = QDateTime::fromString(s, Qt::ISODate);
    return dt;
}

// A value read from the file that already has the field's type needs no conversion.
bool storedAsType(const QVariant& v, FieldType t)
{
    switch (v.typeId()) {
    case QMetaType::Double:
        return t == FieldType::Float;
    case QMetaType::LongLong:
        return t == FieldType::Integer;
    case QMetaType::QString:
        return t == FieldType::Text || t == FieldType::DateTime;
    default:
        return !v.isValid();
    }
}

QString quoted(const QString& identifier)
{
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

bool isNumeric(FieldType t)
{
    return t == FieldType::Integer || t == FieldType::Float;
}

// Orders two values of one field: null first, numbers by value, text without regard to case.
int compareValues(const QVariant& a, const QVariant& b, FieldType t)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (isNumeric(t)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (t == FieldType::DateTime) {
        const QDateTime x = toDateTime(a), y = toDateTime(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return compareChinese(a.toString(), b.toString());
}

} // namespace

// ---- Field

QString Field::name() const { return m_rs.fieldName(m_index); }
FieldType Field::type() const { return m_rs.fieldType(m_index); }
QVariant Field::value() const { return m_rs.currentValue(m_index); }
bool Field::isNull() const { return value().isNull(); }

QString Field::asString() const
{
    const QVariant v = value();
    if (v.isNull())
        return QString();
    switch (type()) {
    case FieldType::Float:
        return generalNumberText(v.toDouble());
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::DateTime:
        return v.typeId() == QMetaType::QString ? v.toString()
                                                 : v.toDateTime().toString(QLatin1String(kStoredDateTimeFormat));
    case FieldType::Text:
        break;
    }
    return v.toString();
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    if (type() == FieldType::Float)
        return qint64(std::llround(v.toDouble()));
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    if (isNumeric(type()))
        return v.toDouble();
    if (!ok)
        throw DbError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    return d;
}

QDateTime Field::asDateTime() const
{
    return toDateTime(value());
}

QString Field::displayText() const
{
    const int shown = m_rs.m_pos;
    if (m_rs.state() == RecordSet::State::Edit || m_rs.state() == RecordSet::State::Insert) {
        const QVariant v = value();
        const QString fmt = m_rs.displayFormat(m_index);
        if (v.isNull() || fmt.isEmpty())
            return asString();
        return type() == FieldType::DateTime ? formatDateTime(toDateTime(v), fmt) : formatFloat(v.toDouble(), fmt);
    }
    m_rs.requireCurrent();
    return m_rs.displayTextAt(shown, m_index);
}

void Field::setValue(const QVariant& v) { m_rs.setCurrentValue(m_index, v); }
void Field::setAsString(const QString& text) { m_rs.setCurrentValue(m_index, QVariant(text)); }
void Field::clear() { m_rs.setCurrentValue(m_index, QVariant()); }

// ---- RecordSet

RecordSet::RecordSet(Connection& conn, QObject* parent)
    : QObject(parent), m_conn(conn)
{
}

RecordSet::~RecordSet()
{
    if (isOpen())
        close();
}

void RecordSet::setSql(const QString& sql, const QVariantList& params)
{
    if (isOpen())
        throw DbError(QStringLiteral("Operation is not allowed when the object is open."));
    m_sql = sql;
    m_params = params;
}

void RecordSet::setLockType(LockType t)
{
    if (isOpen())
        throw DbError(QStringLiteral("Operation is not allowed when the object is open."));
    m_lock = t;
}

void RecordSet::addCalculatedField(const QString& name, FieldType type, CalcFn fn)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.calc = std::move(fn);
    m_calcFields.push_back(std::move(def));
}

QVariant RecordSet::convert(const QVariant& v, FieldType t, const QString& name) const
{
    if (v.isNull() || !v.isValid())
        return QVariant();
    const bool isText = v.typeId() == QMetaType::QString;
    switch (t) {
    case FieldType::Integer: {
        if (!isText && v.typeId() == QMetaType::Double)
            return QVariant(qlonglong(std::llround(v.toDouble())));
        bool ok = false;
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        const qlonglong n = s.toLongLong(&ok);
        if (ok)
            return QVariant(n);
        const double d = s.toDouble(&ok);
        if (ok)
            return QVariant(qlonglong(std::llround(d)));
        throw DbError(QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(s, name));
    }
    case FieldType::Float: {
        if (!isText)
            return QVariant(v.toDouble());
        const QString s = v.toString().trimmed();
        if (s.isEmpty())
            return QVariant();
        bool ok = false;
        const double d = s.toDouble(&ok);
        if (!ok)
            throw DbError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(s, name));
        return QVariant(d);
    }
    case FieldType::DateTime: {
        if (v.typeId() == QMetaType::QDateTime)
            return v;
        const QString s = v.toString().trimmed();
        const QDateTime dt = toDateTime(QVariant(s));
        if (!dt.isValid())
            throw DbError(QStringLiteral("'%1' is not a valid date and time for field '%2'").arg(s, name));
        return QVariant(dt);
    }
    case FieldType::Text:
        if (v.typeId() == QMetaType::Double)
            return QVariant(generalNumberText(v.toDouble()));
        return QVariant(v.toString());
    }
    return v;
}

void RecordSet::open()
{
    if (isOpen())
        return;
    Statement st(m_conn, translateJetSql(m_sql));
    st.bind(m_params);

    std::vector<FieldDef> fields;
    std::vector<bool> typed;
    for (int i = 0; i < st.columnCount(); ++i) {
        FieldDef def;
        def.name = st.columnName(i);
        def.column = st.columnOrigin(i);
        const QString decl = st.columnDeclType(i);
        def.type = typeOfDecl(decl);
        typed.push_back(!decl.isEmpty());
        fields.push_back(std::move(def));
    }
    std::vector<std::shared_ptr<Row>> rows;
    while (st.step()) {
        auto row = std::make_shared<Row>();
        row->values.reserve(fields.size() + m_calcFields.size());
        for (int i = 0; i < int(fields.size()); ++i)
            row->values.push_back(st.columnValue(i));
        rows.push_back(std::move(row));
    }
    // Expression columns take the type of their first value.
    for (size_t i = 0; i < fields.size(); ++i) {
        if (typed[i])
            continue;
        for (const auto& r : rows) {
            const QVariant& v = r->values[i];
            if (v.isNull())
                continue;
            fields[i].type = v.typeId() == QMetaType::LongLong ? FieldType::Integer
                             : v.typeId() == QMetaType::Double ? FieldType::Float
                                                               : FieldType::Text;
            break;
        }
    }
    for (auto& r : rows) {
        for (size_t i = 0; i < fields.size(); ++i)
            if (!storedAsType(r->values[i], fields[i].type))
                r->values[i] = convert(r->values[i], fields[i].type, fields[i].name);
        r->values.resize(fields.size() + m_calcFields.size());
    }
    for (const FieldDef& c : m_calcFields)
        fields.push_back(c);
    for (FieldDef& f : fields)
        f.format = m_formats.value(f.name.toLower());

    m_fields = std::move(fields);
    m_rows = std::move(rows);
    m_shown = m_rows;
    m_table = tableOfStatement(m_sql);
    m_pos = 0;
    m_bof = true;
    m_state = State::Browse;
    m_conn.attach(this);
    emit reset();
    emit currentChanged();
}

void RecordSet::close()
{
    if (!isOpen())
        return;
    m_conn.detach(this);
    m_state = State::Closed;
    m_rows.clear();
    m_shown.clear();
    m_fields.clear();
    m_buffer.clear();
    m_pos = 0;
    emit reset();
}

void RecordSet::requireOpen() const
{
    if (!isOpen())
        throw DbError(QStringLiteral("Operation is not allowed when the object is closed."));
}

void RecordSet::requireCurrent() const
{
    requireOpen();
    if (m_pos < 0 || m_pos >= int(m_shown.size()))
        throw DbError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted."));
}

void RecordSet::moveTo(int pos)
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    m_pos = std::clamp(pos, 0, int(m_shown.size()));
    emit currentChanged();
}

void RecordSet::first() { moveTo(0); m_bof = true; }
void RecordSet::last() { moveTo(std::max(0, int(m_shown.size()) - 1)); m_bof = m_shown.empty(); }

void RecordSet::next()
{
    requireOpen();
    if (eof())
        return;
    m_bof = false;
    moveTo(m_pos + 1);
}

void RecordSet::prior()
{
    requireOpen();
    if (m_pos == 0) {
        m_bof = true;
        return;
    }
    moveTo(m_pos - 1);
}

bool RecordSet::eof() const { return !isOpen() || m_pos >= int(m_shown.size()); }
bool RecordSet::bof() const { return !isOpen() || m_shown.empty() || (m_bof && m_pos == 0); }
bool RecordSet::isEmpty() const { return !isOpen() || m_shown.empty(); }
int RecordSet::recordCount() const { return int(m_shown.size()); }
int RecordSet::recNo() const { return eof() ? 0 : m_pos + 1; }
void RecordSet::setRecNo(int recNo) { moveTo(recNo - 1); }

int RecordSet::fieldCount() const { return int(m_fields.size()); }

int RecordSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field RecordSet::field(int index)
{
    requireOpen();
    if (index < 0 || index >= fieldCount())
        throw DbError(QStringLiteral("Field index %1 out of range").arg(index));
    return Field(*this, index);
}

Field RecordSet::fieldByName(const QString& name)
{
    requireOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(name));
    return Field(*this, i);
}

QString RecordSet::fieldName(int index) const { return m_fields.at(index).name; }
FieldType RecordSet::fieldType(int index) const { return m_fields.at(index).type; }
QString RecordSet::displayFormat(int index) const { return m_fields.at(index).format; }

void RecordSet::setDisplayFormat(const QString& fieldName, const QString& format)
{
    m_formats.insert(fieldName.toLower(), format);
    const int i = fieldIndex(fieldName);
    if (i < 0)
        return;
    m_fields[i].format = format;
    emit reset();
}

QVariant RecordSet::valueAt(int shownRow, int field) const
{
    const FieldDef& def = m_fields.at(field);
    if (def.calc)
        return def.calc(*this, shownRow);
    return m_shown.at(shownRow)->values.at(field);
}

QString RecordSet::displayTextAt(int shownRow, int field) const
{
    const QVariant v = valueAt(shownRow, field);
    if (v.isNull())
        return QString();
    const FieldDef& def = m_fields.at(field);
    switch (def.type) {
    case FieldType::Float:
    case FieldType::Integer:
        return def.format.isEmpty() ? (def.type == FieldType::Float ? generalNumberText(v.toDouble()) : v.toString())
                                    : formatFloat(v.toDouble(), def.format);
    case FieldType::DateTime:
        if (def.format.isEmpty())
            return v.typeId() == QMetaType::QString ? v.toString()
                                                     : v.toDateTime().toString(QLatin1String(kStoredDateTimeFormat));
        return formatDateTime(toDateTime(v), def.format);
    case FieldType::Text:
        break;
    }
    return v.toString();
}

QVariant RecordSet::currentValue(int field) const
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert) {
        const FieldDef& def = m_fields.at(field);
        if (def.calc)
            return def.calc(*this, m_pos);
        return m_buffer.at(field);
    }
    requireCurrent();
    return valueAt(m_pos, field);
}

void RecordSet::setCurrentValue(int field, const QVariant& v)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("Dataset not in edit or insert mode"));
    const FieldDef& def = m_fields.at(field);
    if (def.calc)
        throw DbError(QStringLiteral("Field '%1' cannot be modified").arg(def.name));
    m_buffer[field] = convert(v, def.type, def.name);
}

void RecordSet::edit()
{
    requireCurrent();
    if (m_state == State::Edit)
        return;
    if (m_state == State::Insert)
        post();
    m_buffer = m_shown[m_pos]->values;
    m_state = State::Edit;
}

void RecordSet::append()
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        post();
    m_buffer.assign(m_fields.size(), QVariant());
    m_state = State::Insert;
}

int RecordSet::keyField() const
{
    for (int i = 0; i < int(m_fields.size()); ++i)
        if (!m_fields[i].calc && m_fields[i].column.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

// The statement that writes one pending row, with its values.
struct WriteStatement {
    QString sql;
    QVariantList params;
};

} // namespace

void RecordSet::writeRow(Row& row)
{
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Insufficient base table information for updating or refreshing."));
    const int key = keyField();
    WriteStatement w;
    auto whereClause = [&](WriteStatement& ws) {
        if (key >= 0) {
            ws.sql += QStringLiteral(" WHERE %1 = ?").arg(quoted(m_fields[key].column));
            ws.params << row.originalValues()[key];
            return;
        }
        QStringList parts;
        for (int i = 0; i < int(m_fields.size()); ++i) {
            if (m_fields[i].column.isEmpty())
                continue;
            parts << QStringLiteral("%1 IS ?").arg(quoted(m_fields[i].column));
            ws.params << row.originalValues()[i];
        }
        ws.sql += QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    };

    if (row.state == RowState::Inserted) {
        QStringList cols, marks;
        for (int i = 0; i < int(m_fields.size()); ++i) {
            if (m_fields[i].column.isEmpty() || row.values[i].isNull())
                continue;
            cols << quoted(m_fields[i].column);
            marks << QStringLiteral("?");
            w.params << row.values[i];
        }
        w.sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(m_table))
                               : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(quoted(m_table), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
        m_conn.execute(w.sql, w.params);
        if (key >= 0)
            row.values[key] = QVariant(qlonglong(m_conn.lastInsertId()));
        return;
    }
    if (row.state == RowState::Modified) {
        QStringList sets;
        for (int i = 0; i < int(m_fields.size()); ++i) {
            if (m_fields[i].column.isEmpty() || row.values[i] == row.originalValues()[i])
                continue;
            sets << QStringLiteral("%1 = ?").arg(quoted(m_fields[i].column));
            w.params << row.values[i];
        }
        if (sets.isEmpty())
            return;
        w.sql = QStringLiteral("UPDATE %1 SET %2").arg(quoted(m_table), sets.join(QLatin1Char(',')));
    } else if (row.state == RowState::Deleted) {
        w.sql = QStringLiteral("DELETE FROM %1").arg(quoted(m_table));
    } else {
        return;
    }
    whereClause(w);
    if (m_conn.execute(w.sql, w.params) == 0)
        throw DbError(QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."));
}

void RecordSet::post()
{
    requireOpen();
    if (m_state == State::Edit) {
        const auto& row = m_shown[m_pos];
        Row changed = *row;
        if (changed.original.empty())
            changed.original = row->values;
        changed.values = m_buffer;
        if (changed.state == RowState::Unchanged)
            changed.state = RowState::Modified;
        if (m_lock == LockType::Optimistic) {
            writeRow(changed);
            changed.state = RowState::Unchanged;
            changed.original.clear();
        }
        *row = std::move(changed);
        m_state = State::Browse;
        m_buffer.clear();
        emit rowChanged(m_pos);
    } else if (m_state == State::Insert) {
        auto row = std::make_shared<Row>();
        row->values = m_buffer;
        row->original.assign(m_buffer.size(), QVariant());
        row->state = RowState::Inserted;
        if (m_lock == LockType::Optimistic) {
            writeRow(*row);
            row->state = RowState::Unchanged;
            row->original.clear();
        }
        emit rowAboutToBeInserted(int(m_shown.size()));
        m_rows.push_back(row);
        m_shown.push_back(row);
        m_pos = int(m_shown.size()) - 1;
        m_state = State::Browse;
        m_buffer.clear();
        emit rowInserted(m_pos);
        emit currentChanged();
    }
}

void RecordSet::cancel()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        m_state = State::Browse;
        m_buffer.clear();
    }
}

void RecordSet::deleteRow()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    requireCurrent();
    const auto row = m_shown[m_pos];
    if (m_lock == LockType::Optimistic && row->state != RowState::Inserted) {
        Row gone = *row;
        gone.state = RowState::Deleted;
        writeRow(gone);
    }
    if (m_lock == LockType::Optimistic || row->state == RowState::Inserted)
        m_rows.erase(std::find(m_rows.begin(), m_rows.end(), row));
    else
        row->state = RowState::Deleted;
    const int removed = m_pos;
    emit rowAboutToBeRemoved(removed);
    m_shown.erase(m_shown.begin() + removed);
    // The next row takes the deleted one's place, whatever listeners did meanwhile.
    m_pos = std::min(removed, std::max(0, int(m_shown.size()) - 1));
    emit rowRemoved(removed);
    emit currentChanged();
}

bool RecordSet::hasPendingChanges() const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [](const auto& r) { return r->state != RowState::Unchanged; });
}

void RecordSet::updateBatch()
{
    updateBatch({this});
}

void RecordSet::updateBatch(std::initializer_list<RecordSet*> sets)
{
    if (sets.size() == 0)
        return;
    for (RecordSet* rs : sets) {
        rs->requireOpen();
        if (rs->m_state == State::Edit || rs->m_state == State::Insert)
            rs->post();
    }
    // Work on copies, so a failure leaves every change pending as it was.
    struct Written {
        RecordSet* rs;
        std::shared_ptr<Row> row;
        Row copy;
    };
    std::vector<Written> written;
    {
        Transaction tx((*sets.begin())->m_conn);
        for (RecordSet* rs : sets) {
            for (const auto& r : rs->m_rows) {
                if (r->state == RowState::Unchanged)
                    continue;
                Row copy = *r;
                rs->writeRow(copy);
                written.push_back({rs, r, std::move(copy)});
            }
        }
        tx.commit();
    }
    for (auto& w : written) {
        if (w.copy.state == RowState::Deleted) {
            w.rs->m_rows.erase(std::find(w.rs->m_rows.begin(), w.rs->m_rows.end(), w.row));
            continue;
        }
        w.row->values = w.copy.values;
        w.row->original.clear();
        w.row->state = RowState::Unchanged;
    }
    // Only the rows written change (new rows got their IDs); views keep their place.
    for (auto& w : written) {
        if (w.copy.state == RowState::Deleted)
            continue;
        const auto at = std::find(w.rs->m_shown.begin(), w.rs->m_shown.end(), w.row);
        if (at != w.rs->m_shown.end())
            emit w.rs->rowChanged(int(at - w.rs->m_shown.begin()));
    }
}

void RecordSet::cancelBatch()
{
    requireOpen();
    cancel();
    std::vector<std::shared_ptr<Row>> kept;
    for (const auto& r : m_rows) {
        if (r->state == RowState::Inserted)
            continue;
        r->values = r->originalValues();
        r->original.clear();
        r->state = RowState::Unchanged;
        kept.push_back(r);
    }
    m_rows = kept;
    m_shown = kept;
    m_pos = 0;
    emit reset();
    emit currentChanged();
}

bool RecordSet::locate(const QString& fieldName, const QVariant& value, bool caseInsensitive)
{
    requireOpen();
    const int f = fieldIndex(fieldName);
    if (f < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    const FieldType t = m_fields[f].type;
    for (int i = 0; i < int(m_shown.size()); ++i) {
        const QVariant v = valueAt(i, f);
        bool match;
        if (v.isNull() || value.isNull())
            match = v.isNull() && value.isNull();
        else if (isNumeric(t))
            match = v.toDouble() == value.toDouble();
        else
            match = v.toString().compare(value.toString(), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
        if (match) {
            moveTo(i);
            return true;
        }
    }
    return false;
}

void RecordSet::sort(const QString& fieldName, bool ascending)
{
    requireOpen();
    const int f = fieldIndex(fieldName);
    if (f < 0)
        throw DbError(QStringLiteral("Field '%1' not found").arg(fieldName));
    if (m_fields[f].calc)
        throw DbError(QStringLiteral("Cannot sort on the calculated field '%1'").arg(fieldName));
    cancel();
    const std::shared_ptr<Row> current = eof() ? nullptr : m_shown[m_pos];
    const FieldType t = m_fields[f].type;
    if (t == FieldType::Text) {
        // Texts in the order a Chinese operator expects, through one key per row.
        std::vector<std::pair<std::optional<ChineseKey>, std::shared_ptr<Row>>> keyed;
        keyed.reserve(m_shown.size());
        for (const auto& row : m_shown) {
            const QVariant& v = row->values[f];
            keyed.emplace_back(v.isNull() ? std::nullopt : std::optional(ChineseKey(v.toString())), row);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
            const int c = !a.first || !b.first ? int(bool(a.first)) - int(bool(b.first)) : a.first->compare(*b.first);
            return ascending ? c < 0 : c > 0;
        });
        for (size_t i = 0; i < keyed.size(); ++i)
            m_shown[i] = std::move(keyed[i].second);
    } else {
        std::stable_sort(m_shown.begin(), m_shown.end(), [&](const auto& a, const auto& b) {
            const int c = compareValues(a->values[f], b->values[f], t);
            return ascending ? c < 0 : c > 0;
        });
    }
    if (current)
        m_pos = int(std::find(m_shown.begin(), m_shown.end(), current) - m_shown.begin());
    emit reset();
    emit currentChanged();
}

} // namespace db
