#include "payitems/uGZSetEdit.h"

#include "common/Text.h"

#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmGZSetEdit::TfrmGZSetEdit(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("修改工资设置"));
    EditName = new QLineEdit(this);
    ui::LimitLength(EditName, 50, &GbkLength); // the caption column's length
    EditName->setMinimumWidth(200);
    cmbUseStu = new QComboBox(this);
    cmbUseStu->addItems({QStringLiteral("启用"), QStringLiteral("禁用")});
    cmdSH = new QPushButton(QStringLiteral("保存(&S)"), this);
    cmdSH->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdSH, &QPushButton::clicked, this, &TfrmGZSetEdit::cmdSHClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("工资项目名称"), EditName);
    form->addRow(QStringLiteral("是否启用"), cmbUseStu);
    auto* buttons = ui::ButtonRow({cmdSH, cmdCancel});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EditName->setFocus();
}

void TfrmGZSetEdit::cmdSHClick()
{
    if (EditName->text().isEmpty()) {
        ui::ShowError(QStringLiteral("请务必输入工资项目名称！"));
        return;
    }
    accept();
}

bool EditGZSetItem(QString& name, int& state, QWidget* parent)
{
    TfrmGZSetEdit dlg(parent);
    dlg.EditName->setText(name);
    dlg.cmbUseStu->setCurrentIndex(state == 0 ? 0 : 1);
    const bool saved = ui::current().execDialog(dlg) == QDialog::Accepted;
    name = dlg.EditName->text();
    state = dlg.cmbUseStu->currentIndex();
    return saved;
}
