#include "paysheet/uSelectHisMonth.h"
#include "paysheet/PaySheet.h"

#include "data/uDM.h"
#include "platform/grid/RecordSetModel.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

TfrmSelectHisMonth::TfrmSelectHisMonth(TDM& dm, QWidget* parent)
    : QDialog(parent), dsHisMonth(dm.ADOLocal, this)
{
    setWindowTitle(QStringLiteral("选择历史发放月度"));
    auto* model = new grid::RecordSetModel(this);
    model->setColumns({grid::Column(QStringLiteral("GZMonth"), QStringLiteral("发放月度"))});
    model->setRecordSet(&dsHisMonth);
    gridMonths = new QTableView(this);
    gridMonths->setModel(model);
    gridMonths->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridMonths->setSelectionBehavior(QAbstractItemView::SelectRows);
    gridMonths->setSelectionMode(QAbstractItemView::SingleSelection);
    gridMonths->verticalHeader()->hide();
    gridMonths->horizontalHeader()->setStretchLastSection(true);
    connect(gridMonths, &QTableView::doubleClicked, this, &TfrmSelectHisMonth::cmdSelectClick);
    cmdSelect = new QPushButton(QStringLiteral("选中(&S)"), this);
    cmdSelect->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdSelect, &QPushButton::clicked, this, &TfrmSelectHisMonth::cmdSelectClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = ui::ButtonRow({cmdSelect, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gridMonths);
    layout->addLayout(buttons);
    resize(260, 360);
}

bool TfrmSelectHisMonth::ReadyData()
{
    if (!ui::RunStep(kReadDbError, [this] { paysheet::OpenHistoryMonths(dsHisMonth); }))
        return false;
    if (!dsHisMonth.isEmpty())
        gridMonths->setCurrentIndex(gridMonths->model()->index(0, 0));
    return true;
}

void TfrmSelectHisMonth::cmdSelectClick()
{
    const QModelIndex current = gridMonths->currentIndex();
    if (!dsHisMonth.isOpen() || dsHisMonth.isEmpty() || !current.isValid())
        return;
    m_chosen = dsHisMonth.valueAt(current.row(), 0).toString();
    accept();
}

bool SelectHisMonth(TDM& dm, QString& month, QWidget* parent)
{
    TfrmSelectHisMonth dlg(dm, parent);
    if (!dlg.ReadyData())
        return false;
    if (ui::current().execDialog(dlg) != QDialog::Accepted)
        return false;
    month = dlg.chosenMonth();
    return true;
}
