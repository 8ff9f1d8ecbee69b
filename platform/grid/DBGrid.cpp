#include "platform/grid/DBGrid.h"

#include "platform/db/DisplayFormat.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QVBoxLayout>

namespace grid {

// ---- TwoLevelHeader

TwoLevelHeader::TwoLevelHeader(RecordSetModel& model, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_model(model)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

QSize TwoLevelHeader::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    s.setHeight(2 * (fontMetrics().height() + 6));
    return s;
}

void TwoLevelHeader::drawCell(QPainter* painter, const QRect& rect, const QString& text, int logicalIndex,
                              SortMarker marker) const
{
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    opt.rect = rect;
    opt.section = logicalIndex;
    opt.text = text;
    opt.textAlignment = Qt::AlignCenter;
    opt.position = QStyleOptionHeader::Middle;
    opt.sortIndicator = marker == SortMarker::Down ? QStyleOptionHeader::SortDown
                        : marker == SortMarker::Up ? QStyleOptionHeader::SortUp
                                                   : QStyleOptionHeader::None;
    style()->drawControl(QStyle::CE_Header, &opt, painter, this);
}

QRect TwoLevelHeader::groupRect(int section, const QRect& sectionRect) const
{
    const QString group = m_model.columns().at(section).group();
    int left = sectionRect.left(), right = sectionRect.right();
    const int visual = visualIndex(section);
    auto sameGroup = [&](int v) {
        const int l = logicalIndex(v);
        return l >= 0 && l < int(m_model.columns().size()) && m_model.columns().at(l).group() == group;
    };
    for (int v = visual - 1; v >= 0; --v) {
        if (isSectionHidden(logicalIndex(v)))
            continue;
        if (!sameGroup(v))
            break;
        left = sectionViewportPosition(logicalIndex(v));
    }
    for (int v = visual + 1; v < count(); ++v) {
        if (isSectionHidden(logicalIndex(v)))
            continue;
        if (!sameGroup(v))
            break;
        right = sectionViewportPosition(logicalIndex(v)) + sectionSize(logicalIndex(v)) - 1;
    }
    return QRect(QPoint(left, sectionRect.top()), QPoint(right, sectionRect.top() + sectionRect.height() / 2 - 1));
}

void TwoLevelHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (logicalIndex < 0 || logicalIndex >= int(m_model.columns().size()))
        return;
    const Column& c = m_model.columns().at(logicalIndex);
    const QString group = c.group();
    if (group.isEmpty()) {
        drawCell(painter, rect, c.caption(), logicalIndex, c.marker);
        return;
    }
    // Every section of a group paints the same shared upper cell, so any order of
    // painting leaves it whole.
    painter->save();
    painter->setClipRect(rect.adjusted(0, 0, 0, -rect.height() / 2)); // keep to this section
    drawCell(painter, groupRect(logicalIndex, rect), group, logicalIndex, SortMarker::None);
    painter->restore();
    const QRect lower(rect.left(), rect.top() + rect.height() / 2, rect.width(), rect.height() - rect.height() / 2);
    drawCell(painter, lower, c.caption(), logicalIndex, c.marker);
}

// ---- GridView

GridView::GridView(RecordSetModel& model, QWidget* parent)
    : QTableView(parent)
{
    setModel(&model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---- FooterBar

FooterBar::FooterBar(DBGrid& grid, QHeaderView& header, QWidget* parent)
    : QWidget(parent), m_grid(grid), m_header(header)
{
    setAutoFillBackground(true);
    connect(&header, &QHeaderView::sectionResized, this, [this] { update(); });
    connect(&header, &QHeaderView::sectionMoved, this, [this] { update(); });
    connect(&header, &QHeaderView::geometriesChanged, this, [this] { update(); });
}

QSize FooterBar::sizeHint() const
{
    return QSize(QWidget::sizeHint().width(), m_grid.rowHeight());
}

void FooterBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    // Cells sit under their titles, whatever the horizontal scroll.
    const int offset = m_header.viewport()->mapTo(window(), QPoint(0, 0)).x() - mapTo(window(), QPoint(0, 0)).x();
    p.setClipRect(QRect(offset, 0, m_header.viewport()->width(), height()));
    for (int c = 0; c < m_grid.columnCount(); ++c) {
        if (m_header.isSectionHidden(c))
            continue;
        const QRect cell(offset + m_header.sectionViewportPosition(c), 0, m_header.sectionSize(c), height());
        if (cell.right() < 0 || cell.left() > width())
            continue;
        p.setPen(palette().mid().color());
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        const QString text = m_grid.footerText(c);
        if (text.isEmpty())
            continue;
        p.setPen(palette().windowText().color());
        p.drawText(cell.adjusted(3, 0, -3, 0), int(m_grid.column(c).footerAlignment), text);
    }
}

// ---- DBGrid

DBGrid::DBGrid(QWidget* parent)
    : QWidget(parent)
{
    m_view = new GridView(m_model, this);
    m_header = new TwoLevelHeader(m_model, m_view);
    m_view->setHorizontalHeader(m_header);
    m_footer = new FooterBar(*this, *m_header, this);
    m_footer->setFixedHeight(rowHeight());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_view);
    layout->addWidget(m_footer);
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, [this] { m_footer->update(); });

    connect(m_view, &GridView::enterPressed, this, &DBGrid::enterPressed);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit rowDoubleClicked();
    });
    connect(m_header, &QHeaderView::sectionClicked, this, &DBGrid::titleClicked);
    // A width the operator drags is the column's width from then on.
    connect(m_header, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!m_layingOut && size > 0 && section < columnCount() && !m_view->isColumnHidden(section))
            m_model.column(section).width = size;
    });
    connect(&m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_syncing = false;
        applyColumnLayout();
        footerChanged();
        followRecordSet();
    });
    // While rows come and go the view moves its current row on its own; the record set
    // decides which row is current, so the view follows it afterwards.
    auto hold = [this] { m_syncing = true; };
    auto release = [this] {
        m_syncing = false;
        footerChanged();
        followRecordSet();
    };
    m_hold = hold;
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, release);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, release);
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, hold);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, &DBGrid::footerChanged);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                db::RecordSet* rs = recordSet();
                if (m_syncing || !current.isValid() || !rs || !rs->isOpen())
                    return;
                m_syncing = true;
                rs->setRecNo(current.row() + 1);
                m_syncing = false;
            });
}

void DBGrid::setRecordSet(db::RecordSet* rs)
{
    if (db::RecordSet* old = recordSet())
        disconnect(old, nullptr, this, nullptr);
    // Held before the model hears of the change: the selection model moves the view's
    // current row as soon as the model announces it.
    if (rs) {
        connect(rs, &db::RecordSet::rowAboutToBeRemoved, this, m_hold);
        connect(rs, &db::RecordSet::rowAboutToBeInserted, this, m_hold);
    }
    m_model.setRecordSet(rs);
    if (rs)
        connect(rs, &db::RecordSet::currentChanged, this, &DBGrid::followRecordSet);
    followRecordSet();
}

void DBGrid::followRecordSet()
{
    db::RecordSet* rs = recordSet();
    if (m_syncing || !rs || !rs->isOpen() || rs->eof())
        return;
    const int row = rs->recNo() - 1;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    m_syncing = true;
    const int col = current.isValid() ? current.column() : 0;
    m_view->setCurrentIndex(m_model.index(row, std::clamp(col, 0, std::max(0, columnCount() - 1))));
    m_syncing = false;
}

void DBGrid::setColumns(std::vector<Column> columns)
{
    m_model.setColumns(std::move(columns));
    applyColumnLayout();
    footerChanged();
}

void DBGrid::applyColumnLayout()
{
    const QScopedValueRollback<bool> laying(m_layingOut, true);
    for (int c = 0; c < columnCount(); ++c) {
        m_view->setColumnHidden(c, !column(c).visible);
        if (column(c).visible && m_header->sectionSize(c) != column(c).shownWidth())
            m_header->resizeSection(c, column(c).shownWidth());
    }
}

void DBGrid::setColumnTitle(int index, const QString& title)
{
    m_model.column(index).title = title;
    m_header->viewport()->update();
}

void DBGrid::setColumnVisible(int index, bool visible)
{
    m_model.column(index).visible = visible;
    const QScopedValueRollback<bool> laying(m_layingOut, true);
    m_view->setColumnHidden(index, !visible);
    if (visible)
        m_header->resizeSection(index, column(index).shownWidth());
    m_header->viewport()->update();
    m_footer->update();
}

void DBGrid::setColumnFormat(int index, const QString& format)
{
    m_model.column(index).displayFormat = format;
    m_model.columnsChanged();
    footerChanged();
}

void DBGrid::setFooterFormat(int index, const QString& format)
{
    m_model.column(index).footerFormat = format;
    footerChanged();
}

void DBGrid::setSortMarker(int index, SortMarker marker)
{
    m_model.column(index).marker = marker;
    m_header->viewport()->update();
}

void DBGrid::setRowHeight(int pixels)
{
    m_ownRowHeight = pixels;
    m_view->verticalHeader()->setDefaultSectionSize(pixels);
    m_footer->setFixedHeight(pixels);
}

void DBGrid::setFooterVisible(bool visible)
{
    m_footer->setVisible(visible);
}

int DBGrid::rowHeight() const
{
    return m_view->verticalHeader()->defaultSectionSize();
}

int DBGrid::columnWidth(int index) const
{
    return m_view->isColumnHidden(index) ? column(index).shownWidth() : m_header->sectionSize(index);
}

void DBGrid::footerChanged()
{
    m_model.footerChanged();
    fitNumberColumns();
    m_footer->update();
}

void DBGrid::fitNumberColumns()
{
    // Cell and footer texts keep 3 pixels each side; a little more for the grid lines.
    constexpr int kPadding = 12;
    const QFontMetrics cells(m_view->font()), footer(m_footer->font());
    for (int c = 0; c < columnCount(); ++c) {
        int need = 0;
        for (const QString& t : m_model.numberTexts(c))
            need = std::max({need, cells.horizontalAdvance(t), footer.horizontalAdvance(t)});
        Column& col = m_model.column(c);
        col.fitWidth = need > 0 ? need + kPadding : 0;
        if (col.visible && m_header->sectionSize(c) < col.shownWidth()) {
            const QScopedValueRollback<bool> laying(m_layingOut, true);
            m_header->resizeSection(c, col.shownWidth());
        }
    }
}

QString DBGrid::footerText(int index) const
{
    return m_model.footerText(index);
}

} // namespace grid
