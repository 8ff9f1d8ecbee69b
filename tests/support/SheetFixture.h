#pragma once
#include "tests/support/Session.h"

#include "paysheet/PaySheet.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"

// A month of three rows with GZ6 disabled, loaded into a grid as the main window does.
struct SheetFixture : Session {
    db::RecordSet rs{dm.ADOLocal};
    grid::DBGrid grid;

    explicit SheetFixture(const QString& amountFormat)
    {
        addMonth(QStringLiteral("202612"));
        addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("张三"),
               {{"GZ1", 3000}, {"GZ6", 50}, {"KK1", 200.5}, {"YFTotal", 3050}, {"KKTotal", 200.5}, {"GZTotal", 2849.5}});
        addRow(QStringLiteral("202612"), QStringLiteral("技术部"), QStringLiteral("李四"), {{"GZ1", 4000.25}});
        addRow(QStringLiteral("202612"), QStringLiteral("财务部"), QStringLiteral("王五"), {{"WorkDays", 21.5}});
        rs.setLockType(db::LockType::BatchOptimistic);
        rs.addCalculatedField(QStringLiteral("SortIdx"), db::FieldType::Integer,
                              [](const db::RecordSet&, int row) { return QVariant(row + 1); });
        grid.setColumns(paysheet::SheetColumns());
        grid.setRecordSet(&rs);
        paysheet::ApplyItemTitles(grid, paysheet::ReadItemTitles(dm.ADOLocal, QStringLiteral("202612")));
        paysheet::ApplyDayColumns(grid, 0);
        for (int c = 0; c < grid.columnCount(); ++c)
            if (paysheet::IsAmountColumn(grid.column(c).fieldName)) {
                grid.setColumnFormat(c, amountFormat);
                grid.setFooterFormat(c, amountFormat);
            }
        paysheet::OpenSheetRows(rs, QStringLiteral("202612"));
    }
};

