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

QString MaskedText(const QLineEdit* box)
{
    QString t = box->displayText();
    if (!box->inputMask().isEmpty())
        t.replace(QLatin1Char('_'), QLatin1Char(' '));
    return t;
}

TfrmBMYCalcEdit::TfrmBMYCalcEdit(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("应发工资不满1月自动计算参数"));
    EditTotalDay = new QLineEdit(this);
    EditTotalDay->setInputMask(QStringLiteral("00;_"));
    EditTotalDay->setText(QStringLiteral("22"));
    EditTrueDay = new QLineEdit(this);
    EditTrueDay->setInputMask(QStringLiteral("00.00;_"));
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
    return NormalizeNumText(MaskedText(EditTotalDay)).toDouble();
}

double TfrmBMYCalcEdit::daysWorked() const
{
    return NormalizeNumText(MaskedText(EditTrueDay)).toDouble();
}

bool TfrmBMYCalcEdit::CheckData()
{
    if (daysDue() == 0) {
        ui::ShowMessage(QStringLiteral("本月应上班天数不能为0"));
        return false;
    }
    if (daysDue() > 31) {
        ui::ShowMessage(QStringLiteral("本月应上班天数不能大于31"));
        return false;
    }
    if (daysWorked() > 31) {
        ui::ShowMessage(QStringLiteral("本月实际上班天数不能大于31"));
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
