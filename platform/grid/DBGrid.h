#pragma once
#include "platform/grid/RecordSetModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QWidget>

namespace grid {

// Column titles of the form "Group|Title" in two lines; adjacent shown columns of the
// same group share one upper cell. Shows each column's sort marker.
class TwoLevelHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TwoLevelHeader(RecordSetModel& model, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    // The viewport rectangle covered by the group of a section, across its neighbours.
    QRect groupRect(int logicalIndex, const QRect& sectionRect) const;
    void drawCell(QPainter* painter, const QRect& rect, const QString& text, int logicalIndex,
                  SortMarker marker) const;

    RecordSetModel& m_model;
};

class FooterBar;

// The table of a grid; Enter is a signal of its own.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(RecordSetModel& model, QWidget* parent = nullptr);

signals:
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A data grid over a record set: two-level titles, hidden columns, per-column formats and
// alignment, a footer line of texts, counts and sums, sort markers. The grid's current
// row and the record set's current row follow each other.
class DBGrid : public QWidget {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setRecordSet(db::RecordSet* rs);
    db::RecordSet* recordSet() const { return m_model.recordSet(); }
    void setColumns(std::vector<Column> columns);
    int columnCount() const { return int(m_model.columns().size()); }
    const Column& column(int index) const { return m_model.columns().at(index); }
    int columnOfField(const QString& fieldName) const { return m_model.columnOfField(fieldName); }

    void setColumnTitle(int index, const QString& title);
    void setColumnVisible(int index, bool visible);
    void setColumnFormat(int index, const QString& format);
    void setFooterFormat(int index, const QString& format);
    void setSortMarker(int index, SortMarker marker);
    // The grid's own row height; 0 (the default) leaves it to the font.
    void setRowHeight(int pixels);
    int ownRowHeight() const { return m_ownRowHeight; }
    // The row height as shown.
    int rowHeight() const;
    // Width in pixels as shown now.
    int columnWidth(int index) const;

    int rowCount() const { return m_model.rowCount(); }
    QString cellText(int row, int column) const { return m_model.cellText(row, column); }
    // The footer cell as shown: fixed text, the row count or the column's sum, formatted.
    QString footerText(int column) const;

    void setFooterVisible(bool visible);
    GridView* view() const { return m_view; }
    FooterBar* footer() const { return m_footer; }
    TwoLevelHeader* header() const { return m_header; }
    RecordSetModel& model() { return m_model; }
    const RecordSetModel& model() const { return m_model; }

signals:
    void enterPressed();
    void rowDoubleClicked();
    void titleClicked(int column);

private:
    void applyColumnLayout();
    // Widens the columns of numbers to their widest text, footer included.
    void fitNumberColumns();
    void followRecordSet();
    void footerChanged();

    RecordSetModel m_model;
    GridView* m_view;
    TwoLevelHeader* m_header;
    FooterBar* m_footer;
    bool m_syncing = false;
    bool m_layingOut = false; // the grid itself sizes sections, not the operator
    int m_ownRowHeight = 0;
    std::function<void()> m_hold;
};

// Paints the footer cells under the columns.
class FooterBar : public QWidget {
    Q_OBJECT
public:
    FooterBar(DBGrid& grid, QHeaderView& header, QWidget* parent);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DBGrid& m_grid;
    QHeaderView& m_header;
};

} // namespace grid
