#pragma once
#include "platform/db/RecordSet.h"
#include "platform/grid/RecordSetModel.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace grid {
class DBGrid;
}

namespace paysheet {

// One column of the pay sheet as the grid shows it.
struct ShownColumn {
    QString field;   // the record set field; may name no field
    QString title;   // the whole caption, "Group|Title" for two levels
    QString group;   // upper line; empty for a one-line title
    QString caption; // lower line, or the whole title
    int width = 0;   // pixels, as shown (or as it would be when shown)
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    QString format;  // the column's display format; empty when none
    bool hasField = false;
    db::FieldType type = db::FieldType::Text; // of the field, when there is one
    grid::FooterKind footer = grid::FooterKind::None;
    QString footerFormat;
};

// The pay sheet as loaded, sorted and shown: what printing, exporting and importing read.
// A plain value: it does not change when the grid does.
struct ShownSheet {
    bool open = false;   // the sheet's record set was open
    int rowHeight = 0;   // the grid's own row height; 0 when it has none
    std::vector<ShownColumn> columns;
    std::vector<QStringList> texts;              // [row][column], as the grid shows the cell
    std::vector<std::vector<QVariant>> values;   // [row][column], the stored value (null: none)
    QStringList footerTexts;                     // [column], as the footer shows it
    std::vector<QVariant> footerValues;          // [column], the count or sum; null for none

    int rowCount() const { return int(texts.size()); }
    int columnCount() const { return int(columns.size()); }
    bool hasFooter() const;
    // The index of the column of a field (letter case ignored); -1 when none.
    int columnOfField(const QString& field) const;
};

// Reads the sheet from a grid's model, in the model's (display) order.
ShownSheet ReadShownSheet(const grid::RecordSetModel& model, int ownRowHeight);
ShownSheet ReadShownSheet(const grid::DBGrid& grid);

} // namespace paysheet
