#include "printing/Preview.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "paysheet/ShownSheet.h"
#include "platform/db/DisplayFormat.h"
#include "platform/preview/PPreview.h"
#include "platform/ui/Ui.h"

#include <QVBoxLayout>

TfrmPreview::TfrmPreview(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("打印预览窗口"));
    resize(684, 424);
    PPreview = new preview::TPPreview(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PPreview);
    connect(PPreview, &preview::TPPreview::OnReturn, this, &TfrmPreview::PPreviewReturn);
}

int TfrmPreview::GetMaxTitleRow(const QString& caption)
{
    return CountSubStr(QStringLiteral("|"), caption) + 1;
}

QString PrintedCellText(const paysheet::ShownSheet& sheet, int row, int column)
{
    const paysheet::ShownColumn& col = sheet.columns.at(size_t(column));
    const QVariant& value = sheet.values.at(size_t(row)).at(size_t(column));
    if (col.format.isEmpty() || !col.hasField)
        return sheet.texts.at(size_t(row)).at(column);
    switch (col.type) {
    case db::FieldType::DateTime:
        return value.isNull() ? QString() : db::formatDateTime(value.toDateTime(), col.format);
    case db::FieldType::Float:
        // The grid shows a stored amount in this format already; an empty one prints 0.
        return value.isNull() ? FormatFloat(0, col.format) : sheet.texts.at(size_t(row)).at(column);
    default:
        return sheet.texts.at(size_t(row)).at(column);
    }
}

void TfrmPreview::ReadyData1(const QString& title, const paysheet::ShownSheet& sheet)
{
    preview::TPPreview& p = *PPreview;
    p.setPPrintType(1);
    p.setPRowHeight(sheet.rowHeight > 0 ? sheet.rowHeight : 16);
    p.setPCaption(title);
    p.setPColCount(sheet.columnCount());
    p.setPHeaderRowCount(1);
    p.setPDataRowCount(sheet.rowCount());
    p.setPCountRowCount(0);
    int headerRows = 1;
    for (int c = 0; c < sheet.columnCount(); ++c) {
        const paysheet::ShownColumn& col = sheet.columns[size_t(c)];
        p.SetPreviewColWidth(c, col.width);
        p.SetPreviewTitleCell(c, 0, col.title);
        headerRows = std::max(headerRows, GetMaxTitleRow(col.title));
        const Qt::Alignment h = col.alignment & Qt::AlignHorizontal_Mask;
        p.SetPreviewColAlign(c, h == Qt::AlignHCenter ? 1 : h == Qt::AlignRight ? 2 : 0);
        if (!col.visible)
            p.SetPreviewColWidth(c, 0);
    }
    p.setPHeaderRowCount(headerRows);
    for (int c = 0; c < sheet.columnCount(); ++c) {
        QString rest = sheet.columns[size_t(c)].title;
        for (int r = 0; r < headerRows; ++r) {
            const qsizetype bar = rest.indexOf(QLatin1Char('|'));
            p.SetPreviewTitleCell(c, r, bar < 0 ? rest : rest.left(bar));
            if (bar >= 0)
                rest.remove(0, bar + 1);
        }
    }
    p.setPShowCount(false);
    for (int r = 0; r < sheet.rowCount(); ++r)
        for (int c = 0; c < sheet.columnCount(); ++c)
            p.SetPreviewDataCell(c, r, PrintedCellText(sheet, r, c));
    if (!sheet.hasFooter())
        return;
    for (int c = 0; c < sheet.columnCount(); ++c)
        if (!sheet.footerTexts.value(c).isEmpty())
            p.SetPreviewDataCell(c, sheet.rowCount(), sheet.footerTexts.value(c));
}

void TfrmPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PPreview->setPActive(true);
}

void TfrmPreview::PPreviewReturn()
{
    close();
}

void PreviewGrid(const QString& title, const paysheet::ShownSheet& sheet, QWidget* parent)
{
    if (!sheet.open) {
        ui::ShowError(QStringLiteral("无查询结果！"));
        return;
    }
    TfrmPreview window(parent);
    try {
        window.ReadyData1(title, sheet);
    } catch (const slip::Error& e) {
        ui::ShowError(e.message());
        return;
    }
    ui::current().execDialog(window);
}
