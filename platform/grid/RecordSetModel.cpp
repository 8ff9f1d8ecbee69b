#include "platform/grid/RecordSetModel.h"

#include "platform/db/DisplayFormat.h"

namespace grid {

QString Column::group() const
{
    const qsizetype bar = title.indexOf(QLatin1Char('|'));
    return bar < 0 ? QString() : title.left(bar);
}

QString Column::caption() const
{
    const qsizetype bar = title.indexOf(QLatin1Char('|'));
    return bar < 0 ? title : title.mid(bar + 1);
}

RecordSetModel::RecordSetModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    // Any change of rows or cells changes the sums.
    connect(this, &QAbstractItemModel::modelReset, this, &RecordSetModel::footerChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &RecordSetModel::footerChanged);
    connect(this, &QAbstractItemModel::rowsInserted, this, &RecordSetModel::footerChanged);
    connect(this, &QAbstractItemModel::dataChanged, this, &RecordSetModel::footerChanged);
}

void RecordSetModel::footerChanged()
{
    m_footerValid = false;
}

void RecordSetModel::computeFooters() const
{
    // One pass per numeric column gives its sum and its range.
    m_footerValues.assign(m_columns.size(), QVariant());
    m_ranges.assign(m_columns.size(), Range());
    const int rows = rowCount();
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const Column& col = m_columns[c];
        const int f = m_fieldIndex.at(c);
        const bool numeric = f >= 0 && (m_rs->fieldType(f) == db::FieldType::Float
                                        || m_rs->fieldType(f) == db::FieldType::Integer);
        if (numeric && !col.textOf) {
            Range& range = m_ranges[c];
            double sum = 0;
            for (int r = 0; r < rows; ++r) {
                const QVariant v = m_rs->valueAt(r, f);
                if (v.isNull())
                    continue;
                const double d = v.toDouble();
                sum += d;
                range.min = range.any ? std::min(range.min, d) : d;
                range.max = range.any ? std::max(range.max, d) : d;
                range.any = true;
            }
            if (col.footer == FooterKind::Sum)
                m_footerValues[c] = sum;
        } else if (col.footer == FooterKind::Sum) {
            m_footerValues[c] = 0.0;
        }
        if (col.footer == FooterKind::Count)
            m_footerValues[c] = rows;
    }
    m_footerValid = true;
}

QStringList RecordSetModel::numberTexts(int column) const
{
    if (!m_footerValid)
        computeFooters();
    const Range& range = m_ranges.at(column);
    QStringList texts;
    const QString& format = m_columns.at(column).displayFormat;
    if (range.any)
        for (double v : {range.min, range.max})
            texts << (format.isEmpty() ? db::generalNumberText(v) : db::formatFloat(v, format));
    if (range.any || m_columns.at(column).footer != FooterKind::None)
        texts << footerText(column);
    return texts;
}

QVariant RecordSetModel::footerValue(int column) const
{
    if (!m_footerValid)
        computeFooters();
    return m_footerValues.at(column);
}

QString RecordSetModel::footerText(int column) const
{
    const Column& col = m_columns.at(column);
    switch (col.footer) {
    case FooterKind::None:
        return QString();
    case FooterKind::Text:
        return col.footerText;
    case FooterKind::Count:
        return db::formatFloat(footerValue(column).toDouble(),
                               col.footerFormat.isEmpty() ? QStringLiteral("0") : col.footerFormat);
    case FooterKind::Sum: {
        const double sum = footerValue(column).toDouble();
        return col.footerFormat.isEmpty() ? db::generalNumberText(sum) : db::formatFloat(sum, col.footerFormat);
    }
    }
    return QString();
}

void RecordSetModel::setRecordSet(db::RecordSet* rs)
{
    beginResetModel();
    for (const auto& c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_rs = rs;
    if (rs) {
        m_connections.push_back(connect(rs, &db::RecordSet::reset, this, &RecordSetModel::resetFromRecordSet));
        m_connections.push_back(connect(rs, &db::RecordSet::rowAboutToBeRemoved, this,
                                        [this](int row) { beginRemoveRows({}, row, row); }));
        m_connections.push_back(connect(rs, &db::RecordSet::rowRemoved, this, [this] { endRemoveRows(); }));
        m_connections.push_back(connect(rs, &db::RecordSet::rowAboutToBeInserted, this,
                                        [this](int row) { beginInsertRows({}, row, row); }));
        m_connections.push_back(connect(rs, &db::RecordSet::rowInserted, this, [this] { endInsertRows(); }));
        m_connections.push_back(connect(rs, &db::RecordSet::rowChanged, this, [this](int row) {
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        }));
        m_connections.push_back(connect(rs, &QObject::destroyed, this, [this] {
            beginResetModel();
            m_rs = nullptr;
            endResetModel();
        }));
    }
    refreshFieldIndexes();
    endResetModel();
}

void RecordSetModel::setColumns(std::vector<Column> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_footerValid = false;
    refreshFieldIndexes();
    endResetModel();
}

int RecordSetModel::columnOfField(const QString& fieldName) const
{
    for (int i = 0; i < int(m_columns.size()); ++i)
        if (m_columns[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void RecordSetModel::columnsChanged()
{
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void RecordSetModel::resetFromRecordSet()
{
    beginResetModel();
    refreshFieldIndexes();
    endResetModel();
}

void RecordSetModel::refreshFieldIndexes()
{
    m_fieldIndex.assign(m_columns.size(), -1);
    if (!m_rs || !m_rs->isOpen())
        return;
    for (size_t i = 0; i < m_columns.size(); ++i)
        m_fieldIndex[i] = m_rs->fieldIndex(m_columns[i].fieldName);
}

QString RecordSetModel::cellText(int row, int column) const
{
    const int f = m_fieldIndex.at(column);
    if (!m_rs || !m_rs->isOpen() || f < 0)
        return QString();
    const Column& c = m_columns.at(column);
    if (c.textOf)
        return c.textOf(m_rs->valueAt(row, f));
    if (!c.displayFormat.isEmpty()) {
        const QVariant v = m_rs->valueAt(row, f);
        if (v.isNull())
            return QString();
        const db::FieldType t = m_rs->fieldType(f);
        if (t == db::FieldType::Float || t == db::FieldType::Integer)
            return db::formatFloat(v.toDouble(), c.displayFormat);
        if (t == db::FieldType::DateTime)
            return db::formatDateTime(v.toDateTime(), c.displayFormat);
    }
    return m_rs->displayTextAt(row, f);
}

int RecordSetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_rs || !m_rs->isOpen())
        return 0;
    return m_rs->recordCount();
}

int RecordSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns.at(index.column()).alignment);
    return {};
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    return {};
}

} // namespace grid
