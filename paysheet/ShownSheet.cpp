#include "paysheet/ShownSheet.h"

#include "platform/grid/DBGrid.h"

namespace paysheet {

bool ShownSheet::hasFooter() const
{
    for (const ShownColumn& c : columns)
        if (c.footer != grid::FooterKind::None)
            return true;
    return false;
}

int ShownSheet::columnOfField(const QString& field) const
{
    for (int c = 0; c < columnCount(); ++c)
        if (columns[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

ShownSheet ReadShownSheet(const grid::RecordSetModel& model, int ownRowHeight)
{
    ShownSheet sheet;
    sheet.rowHeight = ownRowHeight;
    const db::RecordSet* rs = model.recordSet();
    sheet.open = rs && rs->isOpen();
    const int cols = model.columnCount();
    std::vector<int> fieldOf(cols, -1);
    for (int c = 0; c < cols; ++c) {
        const grid::Column& g = model.columns().at(c);
        ShownColumn col;
        col.field = g.fieldName;
        col.title = g.title;
        col.group = g.group();
        col.caption = g.caption();
        col.width = g.shownWidth();
        col.alignment = g.alignment;
        col.visible = g.visible;
        col.footer = g.footer;
        col.footerFormat = g.footerFormat;
        fieldOf[c] = sheet.open ? rs->fieldIndex(g.fieldName) : -1;
        col.hasField = fieldOf[c] >= 0;
        if (col.hasField) {
            col.type = rs->fieldType(fieldOf[c]);
            col.format = g.displayFormat.isEmpty() ? rs->displayFormat(fieldOf[c]) : g.displayFormat;
        } else {
            col.format = g.displayFormat;
        }
        sheet.columns.push_back(std::move(col));
        sheet.footerTexts << model.footerText(c);
        sheet.footerValues.push_back(model.footerValue(c));
    }
    const int rows = model.rowCount();
    sheet.texts.reserve(rows);
    sheet.values.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList texts;
        texts.reserve(cols);
        std::vector<QVariant> values(cols);
        for (int c = 0; c < cols; ++c) {
            texts << model.cellText(r, c);
            if (fieldOf[c] >= 0)
                values[c] = rs->valueAt(r, fieldOf[c]);
        }
        sheet.texts.push_back(std::move(texts));
        sheet.values.push_back(std::move(values));
    }
    return sheet;
}

ShownSheet ReadShownSheet(const grid::DBGrid& grid)
{
    return ReadShownSheet(grid.model(), grid.ownRowHeight());
}

} // namespace paysheet
