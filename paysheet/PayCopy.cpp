#include "paysheet/PayCopy.h"

#include "payitems/GZSet.h"
#include "data/Schema.h"
#include "platform/db/RecordSet.h"

namespace paysheet {

namespace {

QStringList amountFields()
{
    QStringList f = schema::EarningsColumns();
    f << QStringLiteral("YFTotal") << schema::DeductionColumns() << QStringLiteral("KKTotal")
      << QStringLiteral("GZTotal");
    return f;
}

} // namespace

void CopyMonthData(db::Connection& conn, const QString& source, const QString& target, const QDateTime& now)
{
    // One statement copies the rows inside the database; days and rate stay empty.
    const QStringList copied = QStringList{QStringLiteral("EmpName"), QStringLiteral("DepartName"),
                                           QStringLiteral("EMail"), QStringLiteral("QM")}
                               + amountFields();
    const QString list = copied.join(QLatin1Char(','));
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("Insert into TGZ (GZMonth,ZWName,LOGTime,%1) "
                                "Select ?,CASE WHEN ZWName IS NULL OR ZWName='' THEN ' ' ELSE ZWName END,?,%1 "
                                "from TGZ where GZMonth=? order by ID")
                     .arg(list),
                 {target, now, source});
    CopyItemSet(conn, target, source);
    tx.commit();
}

void CopyPayRow(db::Connection& conn, db::RecordSet& sheet, const QDateTime& now)
{
    db::RecordSet to(conn);
    to.setSql(QStringLiteral("Select * from TGZ where ID=-1"));
    to.open();
    to.append();
    QStringList copied{QStringLiteral("GZMonth"), QStringLiteral("DepartName"), QStringLiteral("EmpName"),
                       QStringLiteral("ZWName"), QStringLiteral("WorkDays"), QStringLiteral("OneDayMOney")};
    copied << amountFields() << QStringLiteral("QM") << QStringLiteral("EMail");
    for (const QString& f : copied)
        to.fieldByName(f).setValue(sheet.fieldByName(f).value());
    to.fieldByName(QStringLiteral("LOGTime")).setValue(now);
    to.post();
}

void DeleteCurrentRow(db::RecordSet& sheet)
{
    sheet.deleteRow();
    try {
        sheet.updateBatch();
    } catch (const db::DbError&) {
        sheet.cancelBatch();
        throw;
    }
}

} // namespace paysheet
