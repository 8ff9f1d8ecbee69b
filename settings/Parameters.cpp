#include "settings/Parameters.h"

#include "common/Text.h"
#include "data/uDM.h"
#include "platform/db/RecordSet.h"

#include <algorithm>

namespace settings {

Parameters ReadParameters(TDM& dm)
{
    Parameters p;
    p.companyName = dm.GetDataBySQL(QStringLiteral("Select EntName from TPara"));
    const QString h = dm.GetDataBySQL(QStringLiteral("Select BillHeight from TPara"));
    if (!h.isEmpty())
        p.billHeight = h.toDouble();
    auto index = [&dm](const QString& sql) {
        const QString v = dm.GetDataBySQL(sql);
        return std::clamp(v.isEmpty() ? 0 : v.toInt(), 0, 1);
    };
    p.printDays = index(QStringLiteral("Select PrintDays from TPara"));
    p.showFloat = index(QStringLiteral("Select ShowFloat from TPara"));
    return p;
}

void SaveParameters(db::Connection& conn, const Parameters& p)
{
    conn.execute(QStringLiteral("Update TPara Set EntName=?,BillHeight=?,PrintDays=?,ShowFloat=?"),
                 {p.companyName, RoundTo(p.billHeight, 2), p.printDays, p.showFloat});
}

QString ReadStoredPassword(db::Connection& conn)
{
    db::RecordSet rs(conn);
    rs.setSql(QStringLiteral("Select Top 1 * from TPara"));
    rs.open();
    if (rs.eof())
        throw db::DbError(QStringLiteral("no parameters row"));
    return rs.fieldByName(QStringLiteral("LogPass")).asString();
}

void StorePassword(db::Connection& conn, const QString& password)
{
    if (conn.execute(QStringLiteral("Update TPara Set LogPass=?"), {password}) < 1)
        throw db::DbError(QStringLiteral("no parameters row"));
}

} // namespace settings
