#include "payitems/GZSet.h"

#include "data/Schema.h"
#include "platform/db/RecordSet.h"

void CopyItemSet(db::Connection& conn, const QString& newMonth, const QString& sourceMonth)
{
    db::RecordSet target(conn);
    target.setLockType(db::LockType::BatchOptimistic);
    target.setSql(QStringLiteral("Select * from TGZSet where ID=-1"));
    target.open();

    db::RecordSet source(conn);
    source.setSql(QStringLiteral("Select * from TGZSet where GZMonth=? Order by ID"), {sourceMonth});
    source.open();
    if (source.isEmpty()) {
        source.close();
        source.setSql(QStringLiteral("Select * from TGZSet where GZMonth=? Order by ID"), {schema::kTemplateMonth});
        source.open();
    }
    static const char* const copied[] = {"GZField1", "GZName", "GZType", "SortIdx", "ShowStu"};
    for (source.first(); !source.eof(); source.next()) {
        target.append();
        for (const char* f : copied) {
            const QString name = QString::fromLatin1(f);
            target.fieldByName(name).setValue(source.fieldByName(name).value());
        }
        target.fieldByName(QStringLiteral("GZMonth")).setValue(newMonth);
        target.post();
    }
    // The source rows are in memory now, so deleting the target's old set is safe even
    // when both are the same month.
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("Delete from TGZSet where GZMonth=?"), {newMonth});
    target.updateBatch();
    tx.commit();
}
