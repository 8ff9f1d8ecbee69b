#include "platform/report/ReportUi.h"

#include "platform/ui/Ui.h"
#include "platform/ui/UiHelpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryFile>
#include <QToolBar>
#include <QVBoxLayout>

namespace report {

namespace {

// Pages of a plan within a range (1-based, 0: to the end).
std::vector<PagePlan> pagesIn(const std::vector<PagePlan>& plan, int from, int to)
{
    if (from <= 0 && to <= 0)
        return plan;
    std::vector<PagePlan> out;
    for (int i = 0; i < int(plan.size()); ++i)
        if (i + 1 >= std::max(1, from) && (to <= 0 || i + 1 <= to))
            out.push_back(plan[size_t(i)]);
    return out;
}

// The status window while pages are made: "Generating page %p" and "Cancel".
class StatusWindow : public QDialog {
public:
    StatusWindow(const QString& verb, QWidget* parent) : QDialog(parent), m_verb(verb)
    {
        setWindowTitle(QStringLiteral("状态"));
        m_label = new QLabel(this);
        m_label->setMinimumWidth(220);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        connect(cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_label);
        layout->addLayout(ui::ButtonRow({cancel}));
        show();
    }
    // False once the operator cancelled.
    bool page(int p)
    {
        m_label->setText(QString(m_verb).replace(QStringLiteral("%p"), QString::number(p)));
        QCoreApplication::processEvents();
        return !m_cancelled;
    }

private:
    QString m_verb;
    QLabel* m_label;
    bool m_cancelled = false;
};

bool printPlan(const std::vector<PagePlan>& plan, const Sources& sources, const OutputSettings& s, QWidget* parent)
{
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        ui::ShowError(kNoPrinterMessage);
        return false;
    }
    QPrinter printer(target.isNull() ? QPrinterInfo::availablePrinters().constFirst() : target, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setCopyCount(s.copies);
    printer.setCollateCopies(s.collate);
    printer.setDuplex(s.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    StatusWindow status(QStringLiteral("Printing page %p"), parent);
    Render(pagesIn(plan, s.fromPage, s.toPage), sources, printer, [&](int p) { return status.page(p); });
    return true;
}

} // namespace

void WritePdf(const std::vector<PagePlan>& plan, const Sources& sources, const QString& path, int fromPage, int toPage,
              const std::function<bool(int)>& beforePage)
{
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    Render(pagesIn(plan, fromPage, toPage), sources, pdf, beforePage);
    if (!QFile::exists(path))
        throw ReportError(QStringLiteral("Cannot write \"%1\"").arg(path));
}

TfrmOutputDialog::TfrmOutputDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("打印设置"));
    auto* printerBox = new QGroupBox(QStringLiteral("选择打印机"), this);
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    lblPrinter = new QLabel(def.isNull() ? QStringLiteral("（没有安装打印机）") : def.printerName(), printerBox);
    cmdSetup = new QPushButton(QStringLiteral("打印设置"), printerBox);
    cmdSetup->setEnabled(!def.isNull());
    auto* pl = new QHBoxLayout(printerBox);
    pl->addWidget(lblPrinter, 1);
    pl->addWidget(cmdSetup);
    connect(cmdSetup, &QPushButton::clicked, this, [this] {
        QPrinter printer(QPrinterInfo::defaultPrinter());
        QPageSetupDialog setup(&printer, this);
        ui::current().execDialog(setup);
    });

    auto* paramBox = new QGroupBox(QStringLiteral("参数"), this);
    editCopies = new QSpinBox(paramBox);
    editCopies->setRange(1, 999);
    chkCollate = new QCheckBox(QStringLiteral("校对"), paramBox);
    chkDuplex = new QCheckBox(QStringLiteral("套打"), paramBox);
    auto* pf = new QFormLayout(paramBox);
    pf->addRow(QStringLiteral("份数"), editCopies);
    pf->addRow(chkCollate);
    pf->addRow(chkDuplex);

    auto* destBox = new QGroupBox(QStringLiteral("打印到..."), this);
    optPrinter = new QRadioButton(QStringLiteral("打印机"), destBox);
    optPreview = new QRadioButton(QStringLiteral("预览"), destBox);
    optFile = new QRadioButton(QStringLiteral("文件"), destBox);
    optPreview->setChecked(true);
    editFileName = new QLineEdit(destBox);
    cmbFormat = new QComboBox(destBox);
    cmbFormat->addItem(QStringLiteral("PDF"));
    auto* dl = new QGridLayout(destBox);
    dl->addWidget(optPrinter, 0, 0);
    dl->addWidget(optPreview, 1, 0);
    dl->addWidget(optFile, 2, 0);
    dl->addWidget(editFileName, 2, 1);
    dl->addWidget(new QLabel(QStringLiteral("格式:"), destBox), 3, 0);
    dl->addWidget(cmbFormat, 3, 1);

    auto* rangeBox = new QGroupBox(QStringLiteral("打印范围"), this);
    optAll = new QRadioButton(QStringLiteral("全部"), rangeBox);
    optPages = new QRadioButton(QStringLiteral("页"), rangeBox);
    optSelection = new QRadioButton(QStringLiteral("选定"), rangeBox);
    optAll->setChecked(true);
    editFrom = new QSpinBox(rangeBox);
    editTo = new QSpinBox(rangeBox);
    editFrom->setRange(1, 99999);
    editTo->setRange(1, 99999);
    auto* rl = new QGridLayout(rangeBox);
    rl->addWidget(optAll, 0, 0);
    rl->addWidget(optPages, 1, 0);
    rl->addWidget(new QLabel(QStringLiteral("从"), rangeBox), 1, 1);
    rl->addWidget(editFrom, 1, 2);
    rl->addWidget(new QLabel(QStringLiteral("到"), rangeBox), 1, 3);
    rl->addWidget(editTo, 1, 4);
    rl->addWidget(optSelection, 2, 0);

    cmdOK = new QPushButton(QStringLiteral("确认"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmOutputDialog::cmdOKClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(printerBox, 0, 0, 1, 2);
    grid->addWidget(paramBox, 1, 0);
    grid->addWidget(destBox, 1, 1);
    grid->addWidget(rangeBox, 2, 0, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(ui::ButtonRow({cmdOK, cmdCancel}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmOutputDialog::cmdOKClick()
{
    if (optFile->isChecked() && editFileName->text().trimmed().isEmpty()) {
        ui::ShowError(QStringLiteral("请输入输出文件名！"));
        return;
    }
    if (optPrinter->isChecked() && QPrinterInfo::availablePrinterNames().isEmpty()) {
        ui::ShowError(kNoPrinterMessage);
        return;
    }
    accept();
}

OutputSettings TfrmOutputDialog::settings() const
{
    OutputSettings s;
    s.destination = optPrinter->isChecked() ? Destination::Printer : optFile->isChecked() ? Destination::File : Destination::Preview;
    s.fileName = editFileName->text().trimmed();
    if (s.destination == Destination::File && !s.fileName.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        s.fileName += QStringLiteral(".pdf");
    s.copies = editCopies->value();
    s.collate = chkCollate->isChecked();
    s.duplex = chkDuplex->isChecked();
    if (optPages->isChecked()) {
        s.fromPage = editFrom->value();
        s.toPage = editTo->value();
    }
    return s;
}

TfrmReportPreview::TfrmReportPreview(const QString& pdf, std::function<bool()> print, QWidget* parent)
    : QDialog(parent, Qt::Window), m_file(pdf), m_print(std::move(print)), m_document(new QPdfDocument(this))
{
    setWindowTitle(QStringLiteral("打印预览"));
    resize(900, 700);
    auto* menus = new QMenuBar(this);
    QMenu* file = menus->addMenu(QStringLiteral("文件"));
    QMenu* pages = menus->addMenu(QStringLiteral("页面"));
    QMenu* zoom = menus->addMenu(QStringLiteral("缩放"));
    auto act = [this](QMenu* menu, const QString& text, const QKeySequence& key, auto slot) {
        QAction* a = menu->addAction(text);
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    act(file, QStringLiteral("打印"), QKeySequence(QStringLiteral("Ctrl+P")), [this] {
        if (m_print)
            m_print();
    });
    act(file, QStringLiteral("另存为"), QKeySequence(QStringLiteral("Ctrl+S")), [this] {
        const QString path = ui::current().saveFileName(QStringLiteral("另存为"), QString(), QStringLiteral("PDF 文件(*.pdf)|*.pdf"));
        if (!path.isEmpty())
            ui::RunStep(QStringLiteral("保存文件发生错误！"), [&] { saveAs(path); });
    });
    act(file, QStringLiteral("打开"), QKeySequence(QStringLiteral("Ctrl+O")), [this] {
        const QString path = ui::current().openFileName(QStringLiteral("打开"), QString(), QStringLiteral("PDF 文件(*.pdf)|*.pdf"));
        if (!path.isEmpty())
            ui::RunStep(QStringLiteral("打开文件发生错误！"), [&] { openPdf(path); });
    });
    file->addSeparator();
    act(file, QStringLiteral("退出"), QKeySequence(), [this] { accept(); });
    act(pages, QStringLiteral("第一页"), QKeySequence(QStringLiteral("Ctrl+Home")), [this] { showPage(1); });
    act(pages, QStringLiteral("上一页"), QKeySequence(QStringLiteral("Ctrl+PgUp")), [this] { showPage(m_page - 1); });
    act(pages, QStringLiteral("下一页"), QKeySequence(QStringLiteral("Ctrl+PgDown")), [this] { showPage(m_page + 1); });
    act(pages, QStringLiteral("末页"), QKeySequence(QStringLiteral("Ctrl+End")), [this] { showPage(pageCount()); });
    act(pages, QStringLiteral("跳转到"), QKeySequence(QStringLiteral("Ctrl+G")), [this] {
        editPage->setFocus();
        editPage->selectAll();
    });
    act(zoom, QStringLiteral("放大"), QKeySequence(), [this] { setZoom(m_zoom * 1.25); });
    act(zoom, QStringLiteral("缩小"), QKeySequence(), [this] { setZoom(m_zoom / 1.25); });
    act(zoom, QStringLiteral("自适应页宽"), QKeySequence(QStringLiteral("Ctrl+W")), [this] {
        const QSizeF size = m_document->pagePointSize(m_page - 1);
        if (size.width() > 0)
            setZoom((m_area->viewport()->width() - 8) / (size.width() / 72.0 * logicalDpiX()));
    });
    act(zoom, QStringLiteral("页面自适应"), QKeySequence(QStringLiteral("Ctrl+F")), [this] {
        const QSizeF size = m_document->pagePointSize(m_page - 1);
        if (size.height() > 0)
            setZoom(std::min((m_area->viewport()->width() - 8) / (size.width() / 72.0 * logicalDpiX()),
                             (m_area->viewport()->height() - 8) / (size.height() / 72.0 * logicalDpiY())));
    });

    auto* bar = new QToolBar(this);
    bar->addWidget(new QLabel(QStringLiteral("页 "), bar));
    editPage = new QSpinBox(bar);
    editPage->setMinimum(1);
    bar->addWidget(editPage);
    lblPageCount = new QLabel(bar);
    bar->addWidget(lblPageCount);
    bar->addSeparator();
    bar->addWidget(new QLabel(QStringLiteral("缩放 "), bar));
    editZoom = new QSpinBox(bar);
    editZoom->setRange(10, 800);
    editZoom->setSuffix(QStringLiteral(" %"));
    editZoom->setValue(100);
    bar->addWidget(editZoom);
    connect(editPage, &QSpinBox::valueChanged, this, [this](int p) {
        if (p != m_page)
            showPage(p);
    });
    connect(editZoom, &QSpinBox::editingFinished, this, [this] { setZoom(editZoom->value() / 100.0); });

    m_image = new QLabel;
    m_image->setAlignment(Qt::AlignCenter);
    m_area = new QScrollArea(this);
    m_area->setWidget(m_image);
    m_area->setWidgetResizable(true);
    m_area->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menus);
    layout->addWidget(bar);
    layout->addWidget(m_area, 1);
    openPdf(pdf);
}

TfrmReportPreview::~TfrmReportPreview() = default;

int TfrmReportPreview::pageCount() const
{
    return m_document->pageCount();
}

void TfrmReportPreview::openPdf(const QString& path)
{
    if (m_document->load(path) != QPdfDocument::Error::None)
        throw ReportError(QStringLiteral("\"%1\" is no PDF file that can be shown").arg(path));
    m_file = path;
    editPage->setMaximum(std::max(1, pageCount()));
    lblPageCount->setText(QStringLiteral(" / %1 ").arg(pageCount()));
    m_page = 1;
    showPage(1);
}

void TfrmReportPreview::showPage(int page)
{
    m_page = std::clamp(page, 1, std::max(1, pageCount()));
    editPage->blockSignals(true);
    editPage->setValue(m_page);
    editPage->blockSignals(false);
    render();
}

void TfrmReportPreview::setZoom(double zoom)
{
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    editZoom->blockSignals(true);
    editZoom->setValue(int(m_zoom * 100 + 0.5));
    editZoom->blockSignals(false);
    render();
}

void TfrmReportPreview::render()
{
    if (pageCount() == 0) {
        m_image->setPixmap(QPixmap());
        return;
    }
    const QSizeF points = m_document->pagePointSize(m_page - 1);
    const QSize pixels(int(points.width() / 72.0 * logicalDpiX() * m_zoom), int(points.height() / 72.0 * logicalDpiY() * m_zoom));
    m_image->setPixmap(QPixmap::fromImage(m_document->render(m_page - 1, pixels)));
}

void TfrmReportPreview::saveAs(const QString& path) const
{
    QFile::remove(path);
    if (!QFile::copy(m_file, path))
        throw ReportError(QStringLiteral("Cannot write \"%1\"").arg(path));
}

bool Execute(const Project& project, const Sources& sources, QWidget* parent)
{
    TfrmOutputDialog output(parent);
    if (ui::current().execDialog(output) != QDialog::Accepted)
        return false;
    const OutputSettings s = output.settings();
    const std::vector<PagePlan> plan = LayOut(project, sources);
    switch (s.destination) {
    case Destination::Printer:
        return printPlan(plan, sources, s, parent);
    case Destination::File: {
        StatusWindow status(QStringLiteral("Generating page %p"), parent);
        WritePdf(plan, sources, s.fileName, s.fromPage, s.toPage, [&](int p) { return status.page(p); });
        return true;
    }
    case Destination::Preview:
        break;
    }
    QTemporaryFile pages(QDir::temp().filePath(QStringLiteral("slip-preview-XXXXXX.pdf")));
    if (!pages.open())
        throw ReportError(QStringLiteral("Cannot make a file for the preview: %1").arg(pages.errorString()));
    pages.close();
    {
        StatusWindow status(QStringLiteral("Generating page %p"), parent);
        WritePdf(plan, sources, pages.fileName(), 0, 0, [&](int p) { return status.page(p); });
    }
    TfrmReportPreview preview(pages.fileName(), [&] {
        OutputSettings all;
        return printPlan(plan, sources, all, parent);
    }, parent);
    ui::current().execDialog(preview);
    return true;
}

} // namespace report
