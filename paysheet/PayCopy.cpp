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
    db::RecordSet from(conn);
    from.setSql(QStringLiteral("Select * from TGZ where GZMonth=? order by ID"), {source});
    from.open();
    db::RecordSet to(conn);
    to.setLockType(db::LockType::BatchOptimistic);
    to.setSql(QStringLiteral("Select * from TGZ where ID=-1"));
    to.open();
    const QStringList copied = QStringList{QStringLiteral("EmpName"), QStringLiteral("DepartName"),
                                           QStringLiteral("EMail"), QStringLiteral("QM")}
                               + amountFields();
    for (from.first(); !from.eof(); from.next()) {
        to.append();
        to.fieldByName(QStringLiteral("GZMonth")).setValue(target);
        for (const QString& f : copied)
            to.fieldByName(f).setValue(from.fieldByName(f).value());
        const QString position = from.fieldByName(QStringLiteral("ZWName")).asString();
        to.fieldByName(QStringLiteral("ZWName")).setValue(position.isEmpty() ? QStringLiteral(" ") : position);
        to.fieldByName(QStringLiteral("LOGTime")).setValue(now);
        to.post();
    }
    db::Transaction tx(conn);
    to.updateBatch();
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
