#include "settings/uParaSet.h"

#include "settings/Parameters.h"
#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr double kMinHeight = 43.0;
constexpr int kCompanyNameBytes = 100; // TPara.EntName
constexpr double kDefaultHeight = 296.78;

struct Paper {
    const char* name;
    double height;
};
constexpr Paper kPapers[] = {{"A4", 296.78}, {"A5", 209.85}, {"B5", 256.80}};

// Leading and trailing blanks and control characters go.
QString trimControls(const QString& text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from).unicode() <= 32)
        ++from;
    while (to > from && text.at(to - 1).unicode() <= 32)
        --to;
    return text.mid(from, to - from);
}

} // namespace

TfrmParaSet::TfrmParaSet(TDM& dm, QWidget* parent)
    : QDialog(parent), m_dm(dm)
{
    setWindowTitle(QStringLiteral("基本参数设置"));
    EditEntName = new QLineEdit(this);
    EditEntName->setMinimumWidth(260);
    ui::LimitLength(EditEntName, kCompanyNameBytes, &GbkLength);
    EditBillHeight = new QLineEdit(this);
    ui::LimitToNumber(EditBillHeight, 3, 2); // three places, point, two places
    EditBillHeight->setAlignment(Qt::AlignRight);
    EditBillHeight->setMaximumWidth(90);
    Button1 = new QPushButton(QStringLiteral("标准高度"), this);
    PopupMenu1 = new QMenu(this);
    for (const Paper& p : kPapers) {
        const QString name = QString::fromLatin1(p.name);
        PopupMenu1->addAction(name, this, [this, name] { SetStandardHeight(name); });
    }
    connect(Button1, &QPushButton::clicked, this,
            [this] { PopupMenu1->popup(Button1->mapToGlobal(QPoint(0, Button1->height()))); });
    cmbPrintDays = new QComboBox(this);
    cmbPrintDays->addItems({QStringLiteral("不打印"), QStringLiteral("打印")});
    cmbShowFloat = new QComboBox(this);
    cmbShowFloat->addItems({QStringLiteral("不打印/显示"), QStringLiteral("打印/显示")});
    cmdSH = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdSH, &QPushButton::clicked, this, &TfrmParaSet::cmdSHClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(EditEntName, &QLineEdit::returnPressed, this, &TfrmParaSet::cmdSHClick);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("公司名称"), this), 0, 0);
    grid->addWidget(EditEntName, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("纸张高度"), this), 1, 0);
    auto* heightRow = new QHBoxLayout;
    heightRow->addWidget(EditBillHeight);
    heightRow->addWidget(new QLabel(QStringLiteral("毫米"), this));
    heightRow->addWidget(Button1);
    heightRow->addStretch();
    grid->addLayout(heightRow, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("打印出勤天数及日单价"), this), 2, 0);
    grid->addWidget(cmbPrintDays, 2, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("是否显示和打印小数"), this), 3, 0);
    grid->addWidget(cmbShowFloat, 3, 1, 1, 3);
    auto* buttons = ui::ButtonRow({cmdSH, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    // Enter in the name box saves; no button may take it as the default.
    cmdSH->setAutoDefault(false);
    cmdCancel->setAutoDefault(false);
    Button1->setAutoDefault(false);
    EditEntName->setFocus();
}

void TfrmParaSet::showHeight(double height)
{
    EditBillHeight->setText(FormatFloat(height, kDecimalFormat));
}

void TfrmParaSet::ReadyData()
{
    const settings::Parameters p = settings::ReadParameters(m_dm);
    EditEntName->setText(p.companyName);
    showHeight(p.billHeight);
    cmbPrintDays->setCurrentIndex(p.printDays);
    cmbShowFloat->setCurrentIndex(p.showFloat);
}

QString TfrmParaSet::heightText() const
{
    return EditBillHeight->text();
}

void TfrmParaSet::SetStandardHeight(const QString& paper)
{
    for (const Paper& p : kPapers)
        if (paper == QLatin1String(p.name))
            showHeight(p.height);
}

bool TfrmParaSet::SaveData()
{
    const QString name = trimControls(EditEntName->text());
    EditEntName->setText(name);
    if (GbkLength(name) > kCompanyNameBytes) {
        ui::ShowError(TooLongMessage(QStringLiteral("公司名称"), kCompanyNameBytes));
        return false;
    }
    const double h = NormalizeNumText(heightText()).toDouble();
    if (h < kMinHeight) {
        ui::ShowError(kMinHeightMessage);
        return false;
    }
    const settings::Parameters p{name, h, cmbPrintDays->currentIndex(), cmbShowFloat->currentIndex()};
    if (!ui::RunStep(kStoreDbError, [&] { settings::SaveParameters(m_dm.ADOLocal, p); }))
        return false;
    try {
        m_dm.dsPara.close();
        m_dm.dsPara.open();
    } catch (const db::DbError&) {
        // Ignored: the row is stored, and the next parameter load reads it again.
    }
    startValues().companyName = name;
    return true;
}

void TfrmParaSet::cmdSHClick()
{
    if (SaveData())
        accept();
}

bool ShowParaSet(TDM& dm, QWidget* parent)
{
    TfrmParaSet dlg(dm, parent);
    dlg.ReadyData();
    return ui::current().execDialog(dlg) == QDialog::Accepted;
}
