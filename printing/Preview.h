#pragma once
#include <QDialog>

namespace paysheet {
struct ShownSheet;
}
namespace preview {
class TPPreview;
}

// The pay sheet as paged paper, in the table print-preview control.
class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreview(QWidget* parent = nullptr);

    // Hands the control the sheet's columns, header rows, cells and footer. Throws
    // preview::PreviewError when the control refuses one.
    void ReadyData1(const QString& title, const paysheet::ShownSheet& sheet);
    // The number of levels of a caption: its "|" plus one.
    static int GetMaxTitleRow(const QString& caption);
    void PPreviewReturn();

    preview::TPPreview* PPreview;

protected:
    void showEvent(QShowEvent* event) override;
};

// Shows the sheet in a preview window; "无查询结果！" when the sheet is not open, the
// control's error when it refuses the sheet.
void PreviewGrid(const QString& title, const paysheet::ShownSheet& sheet, QWidget* parent = nullptr);

// The text of a body cell as printed: formatted amounts (an empty one as 0), an empty
// date-time as an empty cell, otherwise the text the grid shows.
QString PrintedCellText(const paysheet::ShownSheet& sheet, int row, int column);
