#include "payitems/GZSet.h"
#include "payitems/ItemSet.h"

#include "platform/db/Connection.h"

void CopyItemSet(db::Connection& conn, const QString& newMonth, const QString& sourceMonth)
{
    using namespace payitems;
    // The source rows are in memory before the target's old set goes, so copying a month
    // onto itself keeps its set.
    const ItemList source = MonthItems(conn, sourceMonth, ItemType::Both, Reader::CopySource);
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("Delete from TGZSet where GZMonth=?"), {newMonth});
    db::Statement insert(conn, QStringLiteral("Insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                              "values (?,?,?,?,?,?)"));
    for (const PayItem& it : source.items) {
        insert.bind({newMonth, it.field, it.name, it.type, it.sortIdx, it.showStu});
        insert.step();
    }
    tx.commit();
}
