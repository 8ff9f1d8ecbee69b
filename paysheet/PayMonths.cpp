#include "paysheet/PayMonths.h"

#include "data/Schema.h"
#include "data/uDM.h"

namespace paysheet {

bool IsTemplateName(const QString& name)
{
    return name.compare(schema::kTemplateMonth, Qt::CaseInsensitive) == 0;
}

bool MonthNameTaken(TDM& dm, const QString& name, qint64 exceptId)
{
    return IsTemplateName(name)
           || !dm.GetDataBySQL(QStringLiteral("Select GZMonth from TGZMonth where GZMonth=? and ID<>?"), {name, exceptId})
                   .isEmpty();
}

qint64 InsertMonth(db::Connection& conn, const QString& name)
{
    conn.execute(QStringLiteral("Insert into TGZMonth (GZMonth) values (?)"), {name});
    return conn.lastInsertId();
}

void RenameMonth(db::Connection& conn, qint64 id, const QString& oldName, const QString& newName)
{
    db::Transaction tx(conn);
    // Items left under the new name by an earlier month must not join this month's set.
    if (oldName.compare(newName, Qt::CaseInsensitive) != 0)
        conn.execute(QStringLiteral("Delete from TGZSet where GZMonth=?"), {newName});
    conn.execute(QStringLiteral("Update TGZ Set GZMonth=? where GZMonth=?"), {newName, oldName});
    conn.execute(QStringLiteral("Update TGZSet Set GZMonth=? where GZMonth=?"), {newName, oldName});
    if (conn.execute(QStringLiteral("Update TGZMonth Set GZMonth=? where ID=?"), {newName, id}) != 1)
        throw db::DbError(QStringLiteral("The month to rename is gone."));
    tx.commit();
}

void DeleteMonth(db::Connection& conn, qint64 id, const QString& name)
{
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("Delete from TGZ where GZMonth=?"), {name});
    conn.execute(QStringLiteral("Delete from TGZSet where GZMonth=?"), {name});
    conn.execute(QStringLiteral("Delete from TGZMonth where ID=?"), {id});
    tx.commit();
}

} // namespace paysheet
