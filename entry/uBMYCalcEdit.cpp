#include "entry/uBMYCalcEdit.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmBMYCalcEdit::TfrmBMYCalcEdit(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("应发工资不满1月自动计算参数"));
    EditTotalDay = new QLineEdit(this);
    ui::LimitToNumber(EditTotalDay, 2, 0);
    EditTotalDay->setText(QStringLiteral("22"));
    EditTrueDay = new QLineEdit(this);
    ui::LimitToNumber(EditTrueDay, 2, 2);
    cmdEnsure = new QPushButton(QStringLiteral("确认(&E)"), this);
    cmdEnsure->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdEnsure, &QPushButton::clicked, this, &TfrmBMYCalcEdit::cmdEnsureClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("本月应上班天数"), EditTotalDay);
    form->addRow(QStringLiteral("本月实际上班天数"), EditTrueDay);
    auto* buttons = ui::ButtonRow({cmdEnsure, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

double TfrmBMYCalcEdit::daysDue() const
{
    return NormalizeNumText(EditTotalDay->text()).toDouble();
}

double TfrmBMYCalcEdit::daysWorked() const
{
    return NormalizeNumText(EditTrueDay->text()).toDouble();
}

bool TfrmBMYCalcEdit::CheckData()
{
    if (daysDue() == 0) {
        ui::ShowError(QStringLiteral("本月应上班天数不能为0"));
        return false;
    }
    if (daysDue() > 31) {
        ui::ShowError(QStringLiteral("本月应上班天数不能大于31"));
        return false;
    }
    if (daysWorked() > 31) {
        ui::ShowError(QStringLiteral("本月实际上班天数不能大于31"));
        return false;
    }
    return true;
}

void TfrmBMYCalcEdit::cmdEnsureClick()
{
    if (CheckData())
        accept();
}

bool ShowBMYCalcEdit(double& daysWorked, double& daysDue, QWidget* parent)
{
    TfrmBMYCalcEdit dlg(parent);
    dlg.EditTrueDay->setText(QStringLiteral("%1").arg(FormatFloat(daysWorked, kDecimalFormat), 5, QLatin1Char(' ')));
    const bool confirmed = ui::current().execDialog(dlg) == QDialog::Accepted;
    daysDue = dlg.daysDue();
    daysWorked = dlg.daysWorked();
    return confirmed;
}
