#pragma once
#include "platform/report/Report.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPdfDocument;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSpinBox;

namespace report {

enum class Destination { Printer, Preview, File };

struct OutputSettings {
    Destination destination = Destination::Preview;
    QString fileName;
    int copies = 1;
    bool collate = false;
    bool duplex = false;
    int fromPage = 0, toPage = 0; // 0: every page
};

// The output dialog "打印设置": printer, copies, destination and page range.
class TfrmOutputDialog : public QDialog {
    Q_OBJECT
public:
    explicit TfrmOutputDialog(QWidget* parent = nullptr);
    OutputSettings settings() const;
    void cmdOKClick();

    QLabel* lblPrinter;
    QPushButton* cmdSetup;
    QSpinBox* editCopies;
    QCheckBox* chkCollate;
    QCheckBox* chkDuplex;
    QRadioButton* optPrinter;
    QRadioButton* optPreview;
    QRadioButton* optFile;
    QLineEdit* editFileName;
    QComboBox* cmbFormat;
    QRadioButton* optAll;
    QRadioButton* optPages;
    QRadioButton* optSelection;
    QSpinBox* editFrom;
    QSpinBox* editTo;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};

// The preview "打印预览" of a PDF: pages, zoom, printing, saving and opening another.
class TfrmReportPreview : public QDialog {
    Q_OBJECT
public:
    TfrmReportPreview(const QString& pdf, std::function<bool()> print, QWidget* parent = nullptr);
    ~TfrmReportPreview() override;

    int pageCount() const;
    int currentPage() const { return m_page; }
    double zoom() const { return m_zoom; }
    void showPage(int page);  // 1-based
    void setZoom(double zoom); // 1.0 is 100 %
    // Saves the pages shown as a PDF file. Throws ReportError.
    void saveAs(const QString& path) const;
    // Shows another PDF. Throws ReportError.
    void openPdf(const QString& path);

    QSpinBox* editPage;
    QLabel* lblPageCount;
    QSpinBox* editZoom;

private:
    void render();

    QString m_file;
    std::function<bool()> m_print;
    QPdfDocument* m_document;
    QScrollArea* m_area;
    QLabel* m_image;
    int m_page = 1;
    double m_zoom = 1.0;
};

// Runs the project's first report: the output dialog, then the preview, the printer or a
// PDF file, with the status window while pages are made. False when the operator
// cancelled. Throws ReportError.
bool Execute(const Project& project, const Sources& sources, QWidget* parent = nullptr);

// Writes the report's pages (a range, 0: all) to a PDF file. Throws ReportError.
void WritePdf(const std::vector<PagePlan>& plan, const Sources& sources, const QString& path, int fromPage = 0,
              int toPage = 0, const std::function<bool(int)>& beforePage = {});

inline const QString kNoPrinterMessage = QStringLiteral("没有可用的打印机，请先安装打印机！");

} // namespace report
