#include "spreadsheet/uExcelLoadIn.h"

#include "common/Clock.h"
#include "data/uDM.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace spreadsheet {

// All rows of the open sheet, read once, for the preview grid.
class SheetPreviewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void load(xls::Table* table)
    {
        beginResetModel();
        m_names = table ? table->columnNames() : QStringList();
        m_rows.clear();
        if (table) {
            m_rows.reserve(size_t(table->recordCount()));
            for (table->first(); !table->eof(); table->next()) {
                QStringList row;
                for (int c = 0; c < m_names.size(); ++c)
                    row << table->value(c);
                m_rows.push_back(row);
            }
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_names.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return m_rows.at(size_t(index.row())).value(index.column());
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return o == Qt::Horizontal ? QVariant(m_names.value(section)) : QVariant(section + 1);
    }

private:
    QStringList m_names;
    std::vector<QStringList> m_rows;
};

} // namespace spreadsheet

namespace {

constexpr int kPreviewMaxWidth = 100;
enum MapColumn { kCaption, kField, kType, kUnique, kRequired, kSource, kMapColumns };
const QString kOpenTableError = QStringLiteral("读取数据表发生错误！");

} // namespace

TfrmExcelLoadIn::TfrmExcelLoadIn(TDM& dm, const QString& month, const QString& fieldList, QWidget* parent)
    : QDialog(parent), m_dm(dm), m_month(month), m_fieldList(fieldList)
{
    setWindowTitle(QStringLiteral("Excel数据导入工具"));
    resize(820, 600);
    auto* page = new QGroupBox(QStringLiteral("请选择用于导入的Excel文件"), this);
    Button6 = new QPushButton(QStringLiteral("选择来源Excel数据"), page);
    cmbTables = new QComboBox(page);
    cmbTables->setEnabled(false);
    cmbTables->setMinimumWidth(160);
    gridPreview = new QTableView(page);
    m_preview = new spreadsheet::SheetPreviewModel(this);
    gridPreview->setModel(m_preview);
    gridPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* mapBox = new QGroupBox(QStringLiteral("字段对应设置"), page);
    sgMap = new QTableWidget(0, kMapColumns, mapBox);
    sgMap->setHorizontalHeaderLabels({QStringLiteral("指标名称"), QStringLiteral("字段名称"), QStringLiteral("指标类型"),
                                      QStringLiteral("唯一性关键字段"), QStringLiteral("必填字段"), QStringLiteral("对应Excel列")});
    sgMap->setColumnHidden(kUnique, true);
    sgMap->setColumnHidden(kRequired, true);
    sgMap->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgMap->setSelectionMode(QAbstractItemView::SingleSelection);
    sgMap->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgMap->horizontalHeader()->setStretchLastSection(true);
    sgMap->setColumnWidth(kCaption, 200);
    Button1 = new QPushButton(QStringLiteral("对应设定"), mapBox);
    PopupMenu1 = new QMenu(this);
    auto* mapLayout = new QHBoxLayout(mapBox);
    mapLayout->addWidget(sgMap, 1);
    auto* mapButtons = new QVBoxLayout;
    mapButtons->addWidget(Button1);
    mapButtons->addStretch();
    mapLayout->addLayout(mapButtons);

    Button4 = new QPushButton(QStringLiteral("导入数据"), this);
    Button4->setEnabled(false);
    Button3 = new QPushButton(QStringLiteral("退出(&X)"), this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setVisible(false);
    lblProgress = new QLabel(this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(Button6);
    fileRow->addSpacing(16);
    fileRow->addWidget(new QLabel(QStringLiteral("Excel文件所包含表名称"), page));
    fileRow->addWidget(cmbTables);
    fileRow->addStretch();
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addLayout(fileRow);
    pageLayout->addWidget(gridPreview, 1);
    pageLayout->addWidget(mapBox, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(ProgressBar1, 1);
    bottom->addWidget(lblProgress);
    bottom->addLayout(ui::ButtonRow({Button4, Button3}));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(page, 1);
    layout->addLayout(bottom);

    connect(Button6, &QPushButton::clicked, this, &TfrmExcelLoadIn::Button6Click);
    connect(cmbTables, &QComboBox::activated, this, &TfrmExcelLoadIn::cmbTablesClick);
    connect(Button1, &QPushButton::clicked, this, &TfrmExcelLoadIn::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TfrmExcelLoadIn::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    cmdJSClick();
}

TfrmExcelLoadIn::~TfrmExcelLoadIn() = default;

void TfrmExcelLoadIn::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    cmdJSClick();
}

void TfrmExcelLoadIn::cmdJSClick()
{
    // Captions and fields come from the list again; the sheet columns mapped stay.
    std::vector<spreadsheet::MappingRow> rows = spreadsheet::ParseFieldList(m_fieldList);
    for (size_t i = 0; i < rows.size() && i < m_rows.size(); ++i)
        rows[i].source = m_rows[i].source;
    m_rows = std::move(rows);
    showMapping();
    PopupMenu1->clear();
    if (!m_table)
        return;
    for (const QString& name : m_table->columnNames())
        connect(PopupMenu1->addAction(name), &QAction::triggered, this, [this, name] { MapSelectedRow(name); });
}

void TfrmExcelLoadIn::showMapping()
{
    sgMap->setRowCount(int(m_rows.size()));
    for (int r = 0; r < int(m_rows.size()); ++r) {
        const spreadsheet::MappingRow& m = m_rows[size_t(r)];
        const QString cells[kMapColumns] = {m.caption, m.field, m.type, m.unique, m.required, m.source};
        for (int c = 0; c < kMapColumns; ++c)
            sgMap->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

void TfrmExcelLoadIn::Button6Click()
{
    const QString path = ui::current().openFileName(kImportFileCaption, QString(), kImportFilter);
    if (!path.isEmpty())
        OpenSource(path);
}

bool TfrmExcelLoadIn::OpenSource(const QString& path)
{
    m_table.reset();
    m_source.close();
    m_preview->load(nullptr);
    if (!ui::RunStep(QStringLiteral("确认选择的数据文件是正确的数据文件！"),
                     [&] { m_source.open(spreadsheet::SourceConnectionString(path)); })) {
        cmdJSClick(); // no sheet open: an empty column menu
        return false;
    }
    cmbTables->clear();
    cmbTables->addItems(m_source.tableNames());
    cmbTables->setCurrentIndex(0);
    if (!openSelectedTable())
        return false;
    cmbTables->setEnabled(true);
    cmdJSClick();
    Button2Click();
    Button4->setEnabled(true);
    return true;
}

bool TfrmExcelLoadIn::openSelectedTable()
{
    try {
        m_table = m_source.openTable(cmbTables->currentText());
    } catch (const slip::Error& e) {
        m_table.reset();
        m_preview->load(nullptr);
        ui::ShowError(kOpenTableError + QLatin1Char('\r') + e.message());
        return false;
    }
    m_preview->load(m_table.get());
    gridPreview->resizeColumnsToContents();
    for (int c = 0; c < m_preview->columnCount(); ++c)
        if (gridPreview->columnWidth(c) > kPreviewMaxWidth)
            gridPreview->setColumnWidth(c, kPreviewMaxWidth);
    return true;
}

void TfrmExcelLoadIn::cmbTablesClick()
{
    // The mappings made for the sheet before stay.
    if (openSelectedTable())
        cmdJSClick();
}

void TfrmExcelLoadIn::Button2Click()
{
    if (!m_table)
        return;
    spreadsheet::MatchAutomatically(m_rows, *m_table);
    showMapping();
}

void TfrmExcelLoadIn::Button1Click()
{
    if (PopupMenu1->isEmpty()) {
        ui::ShowError(QStringLiteral("请首先选择源Excel数据文件，然后再指定列对应关系。"));
        return;
    }
    PopupMenu1->popup(Button1->mapToGlobal(QPoint(0, Button1->height())));
}

void TfrmExcelLoadIn::MapSelectedRow(const QString& sheetColumn)
{
    const int row = sgMap->currentRow();
    if (row < 0 || row >= int(m_rows.size()))
        return;
    m_rows[size_t(row)].source = sheetColumn;
    sgMap->item(row, kSource)->setText(sheetColumn);
}

void TfrmExcelLoadIn::showProgress(int done, int total)
{
    ProgressBar1->setMaximum(std::max(total, 1));
    ProgressBar1->setValue(done);
    lblProgress->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
    // The window repaints; the operator's input waits for the end of the import.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TfrmExcelLoadIn::UpdateData()
{
    if (!m_table) {
        ui::ShowError(QStringLiteral("请首先选择源Excel数据文件，然后再指定列对应关系。"));
        return false;
    }
    ProgressBar1->setVisible(true);
    m_result = {};
    const bool stored = ui::RunStep(kStoreDbError, [&] {
        m_result = spreadsheet::ImportRows(m_dm.ADOLocal, *m_table, m_rows, m_month, Clock::now(),
                                           [this](int done, int total) { showProgress(done, total); });
    });
    ProgressBar1->setVisible(false);
    if (stored)
        ui::ShowMessage(spreadsheet::ImportSummary(m_result));
    return stored;
}

void TfrmExcelLoadIn::Button4Click()
{
    if (!UpdateData())
        return;
    Button4->setEnabled(false);
    // The totals follow the stored amounts of every row of the month.
    ui::RunStep(kStoreDbError, [this] { spreadsheet::RecomputeMonthTotals(m_dm.ADOLocal, m_month); });
}

void ShowExcelLoadIn(TDM& dm, const QString& month, const QString& fieldList, QWidget* parent)
{
    TfrmExcelLoadIn dlg(dm, month, fieldList, parent);
    ui::current().execDialog(dlg);
}
