#pragma once
#include "platform/preview/PreviewTable.h"

#include <QWidget>

class QPagedPaintDevice;
class QPrinter;
class QPrintPreviewWidget;
class QLabel;
class QSpinBox;
class QToolBar;

namespace preview {

// The table print-preview control: given its title, columns, header rows, body rows and
// the row after them, it shows them as paged paper, prints and saves them, and says when
// the operator leaves. It knows nothing of what the table holds. Every operation outside
// the bounds set raises PreviewError.
class TPPreview : public QWidget {
    Q_OBJECT
public:
    explicit TPPreview(QWidget* parent = nullptr);
    ~TPPreview() override;

    void setPPrintType(int type) { m_printType = type; }
    void setPRowHeight(int height);
    void setPCaption(const QString& caption) { m_table.caption = caption; }
    // Columns and rows keep what they were given where they stay.
    void setPColCount(int count);
    void setPHeaderRowCount(int count);
    void setPDataRowCount(int count);
    void setPCountRowCount(int count);
    void setPShowCount(bool show) { m_showCount = show; }
    // Shows what was given; false hides it again.
    void setPActive(bool active);

    int pPrintType() const { return m_printType; }
    int pColCount() const { return m_table.columnCount(); }
    int pHeaderRowCount() const { return int(m_table.headers.size()); }
    int pDataRowCount() const { return m_table.dataRowCount(); }
    bool pActive() const { return m_active; }

    void SetPreviewColWidth(int column, int width);
    void SetPreviewColAlign(int column, int alignment);
    void SetPreviewTitleCell(int column, int headerRow, const QString& text);
    // Rows 0 .. pDataRowCount: the one after the last data row takes the footer.
    void SetPreviewDataCell(int column, int row, const QString& text);

    const PreviewTable& table() const { return m_table; }
    // The layout the preview shows, for a device of that size.
    PageLayout layoutFor(const QPagedPaintDevice& device) const;
    // Draws every page on a paged device (printer, PDF), across the paper when the table is wide.
    void paintAll(QPagedPaintDevice& device) const;
    // Prints on the chosen printer; false after telling the operator there is none.
    bool print();
    // Writes the pages to a PDF file. Throws PreviewError.
    void saveAsPdf(const QString& path) const;
    QPrintPreviewWidget* previewWidget() const { return m_view; }

signals:
    void OnReturn();

private:
    void checkColumn(int column) const;
    void setUpPrinter(QPrinter& printer) const;

    PreviewTable m_table;
    int m_printType = 0;
    int m_countRows = 0;
    bool m_showCount = false;
    bool m_active = false;
    QToolBar* m_bar;
    QPrintPreviewWidget* m_view = nullptr;
    QPrinter* m_printer;
    QSpinBox* m_page;
    QLabel* m_pageCount;
    QSpinBox* m_zoom;
};

} // namespace preview
