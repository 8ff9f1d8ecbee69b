#include "settings/uPassInput.h"

#include "data/Schema.h"
#include "common/StartValues.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPassInput::TfrmPassInput(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("请输入密码"));
    lblHint = new QLabel(QStringLiteral("请输入密码："), this);
    EditPass = new QLineEdit(this);
    EditPass->setEchoMode(QLineEdit::Password);
    EditPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42;")); // "*"
    EditPass->setMinimumWidth(220);
    cmdEnsure = new QPushButton(QStringLiteral("确认(&E)"), this);
    cmdEnsure->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdEnsure, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addWidget(EditPass);
    auto* buttons = ui::ButtonRow({cmdEnsure, cmdCancel});
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    EditPass->setFocus();
}

QString InputPassword(const QString& caption, const QString& hint)
{
    TfrmPassInput prompt;
    prompt.setWindowTitle(caption);
    prompt.lblHint->setText(hint);
    ui::current().execDialog(prompt);
    return prompt.EditPass->text();
}

bool IsNoPassword(const QString& password)
{
    return password.isEmpty() || password == schema::kInitialPassword;
}

bool CheckLoginPassword(const QString& captionAndHint)
{
    const QString password = startValues().loginPassword;
    if (IsNoPassword(password))
        return true;
    if (InputPassword(captionAndHint, captionAndHint) == password)
        return true;
    ui::ShowError(kWrongPassword);
    return false;
}
