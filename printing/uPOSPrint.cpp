#include "printing/uPOSPrint.h"
#include "printing/PosText.h"

#include "common/Text.h"
#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

namespace {

// 宋体 at 12 pixels, or the closest CJK font installed.
QFont slipFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei Mono"),
                   QStringLiteral("WenQuanYi Micro Hei")});
    f.setPixelSize(12);
    return f;
}

} // namespace

TfrmPosPrint::TfrmPosPrint(const QString& programFolder, QWidget* parent)
    : QDialog(parent), m_programFolder(programFolder)
{
    setWindowTitle(QStringLiteral("POS打印机打印"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFont(slipFont());
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabStopDistance(48); // half an inch on the screen
    Button4 = new QPushButton(QStringLiteral("打印(&P)"), this);
    Button5 = new QPushButton(QStringLiteral("取消(&X)"), this);
    connect(Button4, &QPushButton::clicked, this, &TfrmPosPrint::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(ui::ButtonRow({Button4, Button5}));
    setFixedSize(308, 551);
    FormCreate();
}

void TfrmPosPrint::FormCreate()
{
    QFile f(m_programFolder + printing::kPosFile);
    if (f.open(QIODevice::ReadOnly))
        Memo1->setPlainText(FromGbk(f.readAll()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TfrmPosPrint::PrintTo(QPrinter& printer) const
{
    printer.setDocName(QString());
    printer.setFullPage(false);
    QTextDocument doc;
    doc.setDefaultFont(Memo1->font());
    QTextOption option = doc.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    // Half-inch tab stops in the printer's units; the document pages itself.
    option.setTabStopDistance(printer.logicalDpiX() / 2.0);
    doc.setDefaultTextOption(option);
    doc.setPlainText(Memo1->toPlainText());
    doc.print(&printer);
}

bool TfrmPosPrint::Button4Click()
{
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull()) {
        ui::ShowError(QStringLiteral("没有设置默认打印机，无法打印！请在系统中设置默认打印机。"));
        return false;
    }
    QPrinter printer(target);
    PrintTo(printer);
    return true;
}

void ShowPosPrint(const QString& programFolder, QWidget* parent)
{
    TfrmPosPrint dlg(programFolder, parent);
    ui::current().execDialog(dlg);
}
