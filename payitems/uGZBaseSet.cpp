#include "payitems/uGZBaseSet.h"
#include "payitems/uGZSetEdit.h"

#include "payitems/ItemSet.h"
#include "data/uDM.h"
#include "platform/grid/RecordSetModel.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

std::vector<grid::Column> itemColumns()
{
    grid::Column no{QStringLiteral("SortIdx"), QStringLiteral("序号")};
    no.width = 44;
    no.alignment = Qt::AlignCenter;
    grid::Column name{QStringLiteral("GZName"), QStringLiteral("工资项目名称")};
    name.width = 150;
    grid::Column state{QStringLiteral("ShowStu"), QStringLiteral("是否启用")};
    state.width = 70;
    state.alignment = Qt::AlignCenter;
    state.textOf = [](const QVariant& v) {
        return v.toInt() == 0 ? QStringLiteral("启用") : QStringLiteral("禁用");
    };
    return {no, name, state};
}

} // namespace

TfrmGZBaseSet::TfrmGZBaseSet(TDM& dm, QWidget* parent)
    : QDialog(parent), dsGZ(dm.ADOLocal, this), dsKK(dm.ADOLocal, this), m_dm(dm)
{
    setWindowTitle(QStringLiteral("基本工资项目设置"));
    dsGZ.setLockType(db::LockType::BatchOptimistic);
    dsKK.setLockType(db::LockType::BatchOptimistic);

    EditGZMonth = new QLineEdit(this);
    EditGZMonth->setReadOnly(true);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("所属月度"), this));
    top->addWidget(EditGZMonth);
    auto* note = new QLabel(
        QStringLiteral("BASE为基本的工资项，新增月度后，则可为指定月度设置与基本项不同的工资项。"), this);
    note->setWordWrap(true);
    top->addWidget(note, 1);

    auto* gzBox = new QGroupBox(QStringLiteral("应发工资项目(最多20项)"), this);
    auto* kkBox = new QGroupBox(QStringLiteral("应扣(代扣)工资项目(最多10项)"), this);
    gridGZ = makeList(dsGZ, m_gzModel);
    gridKK = makeList(dsKK, m_kkModel);
    cmdEditGZ = new QPushButton(QStringLiteral("修改(&E)"), this);
    cmdEditKK = new QPushButton(QStringLiteral("修改(&E)"), this);
    auto* gzLayout = new QVBoxLayout(gzBox);
    gzLayout->addWidget(gridGZ);
    gzLayout->addWidget(cmdEditGZ, 0, Qt::AlignRight);
    auto* kkLayout = new QVBoxLayout(kkBox);
    kkLayout->addWidget(gridKK);
    kkLayout->addWidget(cmdEditKK, 0, Qt::AlignRight);
    connect(cmdEditGZ, &QPushButton::clicked, this, [this] { EditItem(dsGZ); });
    connect(cmdEditKK, &QPushButton::clicked, this, [this] { EditItem(dsKK); });
    connect(gridGZ, &QTableView::doubleClicked, this, [this] { EditItem(dsGZ); });
    connect(gridKK, &QTableView::doubleClicked, this, [this] { EditItem(dsKK); });

    cmdSH = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    for (QPushButton* b : {cmdEditGZ, cmdEditKK, cmdSH, cmdCancel})
        b->setAutoDefault(false);
    connect(cmdSH, &QPushButton::clicked, this, &TfrmGZBaseSet::cmdSHClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* lists = new QHBoxLayout;
    lists->addWidget(gzBox);
    lists->addWidget(kkBox);
    auto* buttons = ui::ButtonRow({cmdSH, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(760, 560);
}

QTableView* TfrmGZBaseSet::makeList(db::RecordSet& rs, grid::RecordSetModel*& model)
{
    model = new grid::RecordSetModel(this);
    model->setColumns(itemColumns());
    model->setRecordSet(&rs);
    auto* view = new QTableView(this);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < int(model->columns().size()); ++c)
        view->setColumnWidth(c, model->columns()[c].width);
    // The list's current row is the record set's current row.
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [&rs](const QModelIndex& current) {
                if (current.isValid() && rs.isOpen())
                    rs.setRecNo(current.row() + 1);
            });
    return view;
}

bool TfrmGZBaseSet::ReadyData(const QString& month)
{
    using namespace payitems;
    EditGZMonth->setText(month);
    const bool read = ui::RunStep(kReadDbError, [&] {
        // BASE stands in for both lists when the month has no earnings items.
        const QString owner = MonthItems(m_dm.ADOLocal, month, ItemType::Earnings, Reader::ItemDialog).owner;
        EditGZMonth->setText(owner);
        OpenItemList(dsGZ, ItemType::Earnings, owner);
        OpenItemList(dsKK, ItemType::Deductions, owner);
    });
    if (!read)
        return false;
    for (QTableView* v : {gridGZ, gridKK})
        if (v->model()->rowCount() > 0)
            v->setCurrentIndex(v->model()->index(0, 0));
    return true;
}

void TfrmGZBaseSet::EditItem(db::RecordSet& list)
{
    if (!list.isOpen() || list.isEmpty() || list.eof())
        return;
    QString name = list.fieldByName(QStringLiteral("GZName")).asString();
    int state = int(list.fieldByName(QStringLiteral("ShowStu")).asInteger());
    if (!EditGZSetItem(name, state, this))
        return;
    list.edit();
    list.fieldByName(QStringLiteral("GZName")).setValue(name);
    list.fieldByName(QStringLiteral("ShowStu")).setValue(state);
    list.post();
}

bool TfrmGZBaseSet::SaveData()
{
    return ui::RunStep(kStoreDbError, [this] { db::RecordSet::updateBatch({&dsGZ, &dsKK}); });
}

void TfrmGZBaseSet::cmdSHClick()
{
    if (SaveData())
        accept();
}

bool ShowGZBaseSet(TDM& dm, const QString& month, QWidget* parent)
{
    TfrmGZBaseSet dlg(dm, parent);
    if (!dlg.ReadyData(month))
        return false;
    return ui::current().execDialog(dlg) == QDialog::Accepted;
}
