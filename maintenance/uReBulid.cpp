#include "maintenance/uReBulid.h"
#include "maintenance/Clear.h"

#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmReBulid::TfrmReBulid(db::Connection& conn, const QString& programFolder, QWidget* parent)
    : QDialog(parent), ListSQL(maintenance::ClearingStatements()), m_conn(conn), m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("系统重建"));
    auto* warning = new QGroupBox(QStringLiteral("警告！！！"), this);
    Memo1 = new QLabel(QStringLiteral("    系统重建将会将系统中所有信息清除，本功能仅用\n"
                                      "于对期初测试、熟悉系统所产生的测试数据的清除。\n"
                                      "    在执行本功能之前，建议首先在服务端备份数据库\n"
                                      "。若由于没有备份数据而造成损失，开发商概不负责。"),
                       warning);
    QFont big = Memo1->font();
    big.setPointSizeF(big.pointSizeF() * 1.25);
    Memo1->setFont(big);
    Memo1->setStyleSheet(QStringLiteral("color: red;"));
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* warningLayout = new QVBoxLayout(warning);
    warningLayout->addWidget(Memo1);

    cmkYW = new QCheckBox(QStringLiteral("清除业务数据"), this);
    cmdSH = new QPushButton(QStringLiteral("系统重建"), this);
    cmdCancel = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(cmdSH, &QPushButton::clicked, this, &TfrmReBulid::cmdSHClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warning);
    layout->addWidget(cmkYW);
    layout->addLayout(ui::ButtonRow({cmdSH, cmdCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmReBulid::ExecAllSQL()
{
    return ui::RunStep(kClearFailedMessage, [this] { maintenance::ClearPayData(m_conn, ListSQL); });
}

void TfrmReBulid::cmdSHClick()
{
    if (!cmkYW->isChecked()) {
        ui::ShowError(QStringLiteral("至少需要选择一项清除项目！"));
        return;
    }
    if (!ui::AskYesNo(QStringLiteral("系统重建将清除所有数据，请确认您已经备份了数据库，是否继续？")))
        return;
    if (!ExecAllSQL())
        return; // nothing was deleted; the dialog stays for another try or cancel
    maintenance::ClearContractFiles(m_programFolder);
    ui::ShowMessage(QStringLiteral("系统重建完成！"));
    m_cleared = true;
    accept();
}

bool ShowReBulid(db::Connection& conn, const QString& programFolder, QWidget* parent)
{
    TfrmReBulid dlg(conn, programFolder, parent);
    ui::current().execDialog(dlg);
    return dlg.cleared();
}
