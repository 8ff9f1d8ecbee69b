#include "platform/preview/PPreview.h"

#include "platform/ui/Ui.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

namespace preview {

namespace {

constexpr int kMaxColumns = 1000;
const QString kNoPrinter = QStringLiteral("没有可用的打印机，请先安装打印机！");

} // namespace

TPPreview::TPPreview(QWidget* parent)
    : QWidget(parent), m_printer(new QPrinter(QPrinter::HighResolution))
{
    m_table.rows.resize(1);
    m_table.headers.resize(1);
    m_bar = new QToolBar(this);
    m_view = new QPrintPreviewWidget(m_printer, this);
    m_view->setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* printer) { paintAll(*printer); });

    QAction* printAction = m_bar->addAction(QStringLiteral("打印(&P)"));
    QAction* pdfAction = m_bar->addAction(QStringLiteral("存为PDF(&S)"));
    m_bar->addSeparator();
    QAction* firstAction = m_bar->addAction(QStringLiteral("首页"));
    QAction* prevAction = m_bar->addAction(QStringLiteral("上页"));
    m_page = new QSpinBox(m_bar);
    m_page->setMinimum(1);
    m_bar->addWidget(m_page);
    m_pageCount = new QLabel(m_bar);
    m_bar->addWidget(m_pageCount);
    QAction* nextAction = m_bar->addAction(QStringLiteral("下页"));
    QAction* lastAction = m_bar->addAction(QStringLiteral("末页"));
    m_bar->addSeparator();
    m_bar->addWidget(new QLabel(QStringLiteral("缩放 "), m_bar));
    m_zoom = new QSpinBox(m_bar);
    m_zoom->setRange(10, 400);
    m_zoom->setSuffix(QStringLiteral(" %"));
    m_zoom->setValue(100);
    m_bar->addWidget(m_zoom);
    QAction* widthAction = m_bar->addAction(QStringLiteral("适合宽度"));
    QAction* pageAction = m_bar->addAction(QStringLiteral("整页"));
    m_bar->addSeparator();
    QAction* returnAction = m_bar->addAction(QStringLiteral("返回(&R)"));

    connect(printAction, &QAction::triggered, this, &TPPreview::print);
    connect(pdfAction, &QAction::triggered, this, [this] {
        const QString path = ui::current().saveFileName(QStringLiteral("存为PDF文件"), QString(), QStringLiteral("PDF 文件(*.pdf)|*.pdf"));
        if (!path.isEmpty())
            ui::RunStep(QStringLiteral("保存PDF文件发生错误！"), [&] { saveAsPdf(path); });
    });
    connect(firstAction, &QAction::triggered, this, [this] { m_view->setCurrentPage(1); });
    connect(prevAction, &QAction::triggered, this, [this] { m_view->setCurrentPage(m_view->currentPage() - 1); });
    connect(nextAction, &QAction::triggered, this, [this] { m_view->setCurrentPage(m_view->currentPage() + 1); });
    connect(lastAction, &QAction::triggered, this, [this] { m_view->setCurrentPage(m_view->pageCount()); });
    connect(m_page, &QSpinBox::valueChanged, this, [this](int page) { m_view->setCurrentPage(page); });
    connect(m_zoom, &QSpinBox::valueChanged, this, [this](int percent) {
        if (m_view->zoomMode() == QPrintPreviewWidget::CustomZoom)
            m_view->setZoomFactor(percent / 100.0);
    });
    connect(m_zoom, &QSpinBox::editingFinished, this, [this] {
        m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
        m_view->setZoomFactor(m_zoom->value() / 100.0);
    });
    connect(widthAction, &QAction::triggered, m_view, &QPrintPreviewWidget::fitToWidth);
    connect(pageAction, &QAction::triggered, m_view, &QPrintPreviewWidget::fitInView);
    connect(returnAction, &QAction::triggered, this, &TPPreview::OnReturn);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, [this] {
        m_page->setMaximum(std::max(1, m_view->pageCount()));
        m_page->setValue(m_view->currentPage());
        m_pageCount->setText(QStringLiteral(" / %1 页 ").arg(m_view->pageCount()));
        m_zoom->blockSignals(true);
        m_zoom->setValue(int(m_view->zoomFactor() * 100 + 0.5));
        m_zoom->blockSignals(false);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    layout->addWidget(m_view, 1);
    m_view->setVisible(false);
}

TPPreview::~TPPreview()
{
    delete m_view; // before the printer it paints on
    delete m_printer;
}

void TPPreview::setPRowHeight(int height)
{
    if (height <= 0)
        throw PreviewError(QStringLiteral("Row height %1 is not positive").arg(height));
    m_table.rowHeight = height;
}

void TPPreview::setPColCount(int count)
{
    if (count < 0 || count > kMaxColumns)
        throw PreviewError(QStringLiteral("Column count %1 is out of range").arg(count));
    m_table.widths.resize(size_t(count), 64);
    m_table.aligns.resize(size_t(count), 0);
    for (QStringList& h : m_table.headers)
        h.resize(count);
    for (QStringList& r : m_table.rows)
        r.resize(count);
}

void TPPreview::setPHeaderRowCount(int count)
{
    if (count < 1)
        throw PreviewError(QStringLiteral("Header row count %1 is out of range").arg(count));
    m_table.headers.resize(size_t(count), QStringList(QList<QString>(pColCount())));
}

void TPPreview::setPDataRowCount(int count)
{
    if (count < 0)
        throw PreviewError(QStringLiteral("Data row count %1 is out of range").arg(count));
    m_table.rows.resize(size_t(count) + 1, QStringList(QList<QString>(pColCount())));
}

void TPPreview::setPCountRowCount(int count)
{
    if (count < 0)
        throw PreviewError(QStringLiteral("Count row count %1 is out of range").arg(count));
    m_countRows = count;
}

void TPPreview::setPActive(bool active)
{
    m_active = active;
    m_view->setVisible(active);
    if (active) {
        setUpPrinter(*m_printer);
        m_view->updatePreview();
    }
}

void TPPreview::checkColumn(int column) const
{
    if (column < 0 || column >= pColCount())
        throw PreviewError(QStringLiteral("Column %1 is out of range 0..%2").arg(column).arg(pColCount() - 1));
}

void TPPreview::SetPreviewColWidth(int column, int width)
{
    checkColumn(column);
    if (width < 0)
        throw PreviewError(QStringLiteral("Width %1 of column %2 is negative").arg(width).arg(column));
    m_table.widths[size_t(column)] = width;
}

void TPPreview::SetPreviewColAlign(int column, int alignment)
{
    checkColumn(column);
    if (alignment < 0 || alignment > 2)
        throw PreviewError(QStringLiteral("Alignment %1 of column %2 is not 0, 1 or 2").arg(alignment).arg(column));
    m_table.aligns[size_t(column)] = alignment;
}

void TPPreview::SetPreviewTitleCell(int column, int headerRow, const QString& text)
{
    checkColumn(column);
    if (headerRow < 0 || headerRow >= pHeaderRowCount())
        throw PreviewError(QStringLiteral("Header row %1 is out of range 0..%2").arg(headerRow).arg(pHeaderRowCount() - 1));
    m_table.headers[size_t(headerRow)][column] = text;
}

void TPPreview::SetPreviewDataCell(int column, int row, const QString& text)
{
    checkColumn(column);
    if (row < 0 || row > pDataRowCount())
        throw PreviewError(QStringLiteral("Row %1 is out of range 0..%2").arg(row).arg(pDataRowCount()));
    m_table.rows[size_t(row)][column] = text;
}

void TPPreview::setUpPrinter(QPrinter& printer) const
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(WantsLandscape(m_table) ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    printer.setDocName(m_table.caption);
}

PageLayout TPPreview::layoutFor(const QPagedPaintDevice& device) const
{
    const QRectF printable(0, 0, device.width(), device.height());
    return LayoutTable(m_table, printable, device.logicalDpiY());
}

void TPPreview::paintAll(QPagedPaintDevice& device) const
{
    const PageLayout layout = layoutFor(device);
    QPainter painter(&device);
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0)
            device.newPage();
        PaintPage(painter, m_table, layout, page);
    }
}

bool TPPreview::print()
{
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        ui::ShowError(kNoPrinter);
        return false;
    }
    QPrinter printer(QPrinterInfo::defaultPrinter().isNull() ? QPrinterInfo(QPrinterInfo::availablePrinters().constFirst())
                                                             : QPrinterInfo::defaultPrinter(),
                     QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    if (ui::current().execDialog(dialog) != QDialog::Accepted)
        return false;
    paintAll(printer);
    return true;
}

void TPPreview::saveAsPdf(const QString& path) const
{
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(WantsLandscape(m_table) ? QPageLayout::Landscape : QPageLayout::Portrait);
    pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    pdf.setTitle(m_table.caption);
    paintAll(pdf);
    if (!QFileInfo(path).exists())
        throw PreviewError(QStringLiteral("Cannot write '%1'").arg(path));
}

} // namespace preview
