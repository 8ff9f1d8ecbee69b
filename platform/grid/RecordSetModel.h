#pragma once
#include "platform/db/RecordSet.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <algorithm>
#include <functional>
#include <vector>

namespace grid {

enum class FooterKind { None, Text, Count, Sum };
enum class SortMarker { None, Up, Down };

// One column of a grid over a record set.
struct Column {
    Column() = default;
    Column(QString field, QString caption) : fieldName(std::move(field)), title(std::move(caption)) {}

    QString fieldName;
    QString title;          // "Group|Title" for a two-level title
    bool visible = true;
    int width = 64;         // pixels
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString displayFormat;  // overrides the field's own when set
    // Turns a stored value into its shown text (e.g. 0 -> "启用"); overrides the formats.
    std::function<QString(const QVariant&)> textOf;
    FooterKind footer = FooterKind::None;
    QString footerText;     // for FooterKind::Text
    QString footerFormat;   // for counts and sums
    Qt::Alignment footerAlignment = Qt::AlignRight | Qt::AlignVCenter;
    SortMarker marker = SortMarker::None;
    // The width the column's numbers need, set by the grid; the column is never narrower.
    int fitWidth = 0;
    int shownWidth() const { return std::max(width, fitWidth); }

    // The upper and lower title lines; the group is empty for a one-line title.
    QString group() const;
    QString caption() const;
};

// The shown rows of a record set as a table, one model column per grid column. Follows
// the record set's changes (open, close, sort, posts, deletions) by itself.
class RecordSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordSetModel(QObject* parent = nullptr);

    void setRecordSet(db::RecordSet* rs);
    db::RecordSet* recordSet() const { return m_rs; }
    void setColumns(std::vector<Column> columns);
    const std::vector<Column>& columns() const { return m_columns; }
    // Changes one column's properties; views repaint.
    Column& column(int index) { return m_columns.at(index); }
    int columnOfField(const QString& fieldName) const;
    void columnsChanged();

    // The text of a cell as shown.
    QString cellText(int row, int column) const;
    // The footer cell as shown: fixed text, the row count or the column's sum, formatted
    // with the footer format; empty for a column without footer.
    QString footerText(int column) const;
    // The footer's computed value (count or sum); null for text footers and none.
    QVariant footerValue(int column) const;
    // Forgets the footer values after a change the model was not told of (footer formats).
    void footerChanged();
    // For a column of numbers: the texts of its smallest and largest value and of its
    // footer, as shown; the widest of them is the widest text of the column. Empty for
    // other columns.
    QStringList numberTexts(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void resetFromRecordSet();
    void refreshFieldIndexes();
    void computeFooters() const;

    QPointer<db::RecordSet> m_rs;
    std::vector<Column> m_columns;
    std::vector<int> m_fieldIndex; // per column; -1 when the record set lacks the field
    std::vector<QMetaObject::Connection> m_connections;
    struct Range {
        bool any = false;
        double min = 0, max = 0;
    };
    mutable std::vector<QVariant> m_footerValues;
    mutable std::vector<Range> m_ranges;
    mutable bool m_footerValid = false;
};

} // namespace grid
