#include "spreadsheet/uEleGZBill.h"
#include "spreadsheet/Payslips.h"

#include "common/StartValues.h"
#include "common/Text.h"
#include "common/uCommon.h"
#include "data/uDM.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmEleEleGZBill::TfrmEleEleGZBill(TDM& dm, const QString& month, const QString& templatePath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_dm(dm), m_month(month),
      m_template(templatePath)
{
    setWindowTitle(QStringLiteral("生成电子工资条(直接按打印格式，生成Excel工资条文件，用于通过Excel发送工资条)"));
    EditPath = new QLineEdit(this);
    EditPath->setReadOnly(true);
    EditPath->setMinimumWidth(360);
    EditPath->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("选择"), this);
    lblHint = new QLabel(this);
    lblHint->setMinimumWidth(120);
    Button2 = new QPushButton(QStringLiteral("开始生成"), this);
    Button3 = new QPushButton(QStringLiteral("关闭"), this);
    connect(Button1, &QPushButton::clicked, this, &TfrmEleEleGZBill::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TfrmEleEleGZBill::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TfrmEleEleGZBill::Button3Click);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("指定电子工资条的存放路径："), this), 0, 0, 1, 2);
    grid->addWidget(EditPath, 1, 0);
    grid->addWidget(Button1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("电子工资条生成进度提示："), this), 2, 0, 1, 2);
    grid->addWidget(lblHint, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ui::ButtonRow({Button2, Button3}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TfrmEleEleGZBill::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == EditPath && event->type() == QEvent::MouseButtonDblClick) {
        Button1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmEleEleGZBill::Button1Click()
{
    QString folder = EditPath->text();
    if (ui::SelectFolder(this, QStringLiteral("选择电子工资条存放路径"), QString(), folder))
        EditPath->setText(folder);
}

void TfrmEleEleGZBill::Button2Click()
{
    const QString folder = EditPath->text();
    if (folder.isEmpty()) {
        ui::ShowError(QStringLiteral("请指定电子工资条的存放路径！"));
        return;
    }
    spreadsheet::PayslipRun run;
    m_running = true;
    Button2->setEnabled(false);
    const bool read = ui::RunStep(kReadDbError, [&] {
        run = spreadsheet::WritePayslips(m_dm.ADOLocal, m_month, m_template, folder, startValues().companyName,
                                         AmountFormatFor(startValues().showFloat), [this](int done, int total) {
                                             lblHint->setText(QStringLiteral("%1/%2").arg(done).arg(total));
                                             QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                                         });
    });
    m_running = false;
    if (!read) {
        Button2->setEnabled(true); // nothing was written
        return;
    }
    QString text = QStringLiteral("生成工资条结束！");
    if (!run.failed.isEmpty())
        text += QStringLiteral("\n%1个文件没有生成：%2").arg(run.failed.size()).arg(run.failed.join(QStringLiteral("、")));
    ui::ShowMessage(text);
    if (!RunFile(folder, QString()))
        ui::ShowError(CannotOpenMessage(folder));
}

void TfrmEleEleGZBill::Button3Click()
{
    reject();
}

void TfrmEleEleGZBill::reject()
{
    if (!m_running) // a generation under way ends first
        QDialog::reject();
}

void ShowEleGZBill(TDM& dm, const QString& month, const QString& templatePath, QWidget* parent)
{
    TfrmEleEleGZBill dlg(dm, month, templatePath, parent);
    ui::current().execDialog(dlg);
}
