#include "settings/uPassSet.h"

#include "data/Schema.h"
#include "settings/Parameters.h"
#include "common/StartValues.h"
#include "data/uDM.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* maskedBox(QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return e;
}

} // namespace

TfrmPassSet::TfrmPassSet(TDM& dm, QWidget* parent)
    : QDialog(parent), m_dm(dm)
{
    setWindowTitle(QStringLiteral("参数修改密码设置"));

    EditOld = maskedBox(this);
    EditNew = maskedBox(this);
    EditNewEnsure = maskedBox(this);
    Label4 = new QLabel(QStringLiteral("初始密码为") + schema::kInitialPassword, this);
    auto* oldRow = new QHBoxLayout;
    oldRow->addWidget(EditOld);
    oldRow->addWidget(Label4);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("原密码"), oldRow);
    form->addRow(QStringLiteral("新密码"), EditNew);
    form->addRow(QStringLiteral("确认新密码"), EditNewEnsure);

    auto* hint = new QGroupBox(QStringLiteral("提示"), this);
    Memo1 = new QLabel(QStringLiteral("如果密码修改为初始密码为空（或") + schema::kInitialPassword
                           + QStringLiteral("），则表示\n登陆不需要输入密码！否则，表示登陆（清除数据\n以及还原数据）需要输入密码。"),
                       hint);
    QFont big = Memo1->font();
    big.setPointSizeF(big.pointSizeF() * 1.2);
    Memo1->setFont(big);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hintLayout = new QVBoxLayout(hint);
    hintLayout->addWidget(Memo1);

    Button1 = new QPushButton(QStringLiteral("确认(&E)"), this);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(Button1, &QPushButton::clicked, this, &TfrmPassSet::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addLayout(form);
    top->addWidget(hint);
    auto* buttons = ui::ButtonRow({Button1, Button2});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmPassSet::CheckPass()
{
    if (EditNew->text() != EditNewEnsure->text()) {
        ui::ShowError(QStringLiteral("新密码与确认输入的新密码不一致！"));
        EditNew->clear();
        EditNewEnsure->clear();
        return false;
    }
    QString stored;
    if (!ui::RunStep(QStringLiteral("读取数据文件发生错误！"),
                     [&] { stored = settings::ReadStoredPassword(m_dm.ADOLocal); }))
        return false;
    if (stored != EditOld->text()) {
        ui::ShowError(QStringLiteral("要修改密码，必须输入正确的原密码！"));
        EditOld->clear();
        EditOld->setFocus();
        return false;
    }
    if (ui::RunStep(kStoreDbError, [&] { settings::StorePassword(m_dm.ADOLocal, EditNew->text()); })) {
        ui::ShowMessage(QStringLiteral("修改密码成功！"));
        startValues().loginPassword = EditNew->text();
    }
    return true;
}

void TfrmPassSet::Button1Click()
{
    if (CheckPass())
        accept();
}

void ShowPassSet(TDM& dm, QWidget* parent)
{
    TfrmPassSet dlg(dm, parent);
    ui::current().execDialog(dlg);
}
