#include "entry/PayRow.h"

#include "data/Schema.h"
#include "data/uDM.h"
#include "platform/db/RecordSet.h"

namespace entry {

EntryLists ReadEntryLists(TDM& dm, const QString& month)
{
    QString reference = dm.GetDataBySQL(
        QStringLiteral("Select Top 1 GZMonth from TGZMonth where GZMonth<>? Order by ID desc"), {month});
    if (reference.isEmpty())
        reference = month;
    EntryLists lists;
    auto fill = [&](const QString& field, QStringList& items) {
        dm.GetDataBySQLToItems(QStringLiteral("Select Distinct %1 from TGZ where GZMonth=? order by %1").arg(field),
                               items, true, {reference});
    };
    fill(QStringLiteral("DepartName"), lists.departs);
    fill(QStringLiteral("EmpName"), lists.names);
    fill(QStringLiteral("ZWName"), lists.positions);
    return lists;
}

std::optional<PayRow> ReadPayRow(db::Connection& conn, qint64 id)
{
    db::RecordSet rs(conn);
    rs.setSql(QStringLiteral("Select * from TGZ where ID=?"), {id});
    rs.open();
    if (rs.isEmpty())
        return std::nullopt;
    auto text = [&rs](const char* f) { return rs.fieldByName(QString::fromLatin1(f)).asString(); };
    auto number = [&rs](const QString& f) { return rs.fieldByName(f).asFloat(); };
    PayRow row;
    row.id = id;
    row.month = text("GZMonth");
    row.depart = text("DepartName");
    row.name = text("EmpName");
    row.position = text("ZWName");
    row.remark = text("QM");
    row.email = text("EMail");
    row.workDays = number(QStringLiteral("WorkDays"));
    row.dayRate = number(QStringLiteral("OneDayMOney"));
    for (const QString& f : schema::EarningsColumns() + schema::DeductionColumns())
        row.amounts.insert(f, number(f));
    row.totals = {number(QStringLiteral("YFTotal")), number(QStringLiteral("KKTotal")), number(QStringLiteral("GZTotal"))};
    row.logTime = rs.fieldByName(QStringLiteral("LOGTime")).asDateTime();
    return row;
}

qint64 StorePayRow(db::Connection& conn, const PayRow& row)
{
    QStringList columns{QStringLiteral("GZMonth"),  QStringLiteral("DepartName"), QStringLiteral("EMail"),
                        QStringLiteral("EmpName"),  QStringLiteral("ZWName"),     QStringLiteral("QM"),
                        QStringLiteral("OneDayMOney"), QStringLiteral("WorkDays")};
    QVariantList values{row.month, row.depart, row.email, row.name, row.position, row.remark, row.dayRate, row.workDays};
    // The amount columns in their table order, so the statement reads the same every time.
    for (const QString& f : schema::EarningsColumns() + schema::DeductionColumns()) {
        if (!row.amounts.contains(f))
            continue; // a disabled item's column keeps what it holds
        columns << f;
        values << row.amounts.value(f);
    }
    columns << QStringLiteral("YFTotal") << QStringLiteral("KKTotal") << QStringLiteral("GZTotal");
    values << row.totals.earnings << row.totals.deductions << row.totals.net;
    if (row.id < 0) {
        columns << QStringLiteral("LOGTime");
        values << row.logTime;
        const QString marks = QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','));
        conn.execute(QStringLiteral("Insert into TGZ (%1) values (%2)").arg(columns.join(QLatin1Char(',')), marks),
                     values);
        return conn.lastInsertId();
    }
    QStringList sets;
    for (const QString& c : columns)
        sets << c + QStringLiteral("=?");
    values << row.id;
    if (conn.execute(QStringLiteral("Update TGZ Set %1 where ID=?").arg(sets.join(QLatin1Char(','))), values) != 1)
        throw db::DbError(QStringLiteral("The pay row %1 is gone.").arg(row.id));
    return row.id;
}

} // namespace entry
