#include "tests/support/Session.h"

#include "platform/db/RecordSet.h"

qint64 Session::addMonth(const QString& name)
{
    dm.ADOLocal.execute(QStringLiteral("insert into TGZMonth (GZMonth) values (?)"), {name});
    const qint64 id = dm.ADOLocal.lastInsertId();
    dm.ADOLocal.execute(QStringLiteral("insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                       "select ?,GZField1,GZName,GZType,SortIdx,ShowStu from TGZSet "
                                       "where GZMonth='BASE' order by ID"),
                        {name});
    return id;
}

qint64 Session::addRow(const QString& month, const QString& depart, const QString& name,
                       const QList<QPair<QString, double>>& amounts)
{
    QString cols = QStringLiteral("GZMonth,DepartName,EmpName,LOGTime");
    QString marks = QStringLiteral("?,?,?,'2026-12-01 08:00:00'");
    QVariantList values{month, depart, name};
    for (const auto& a : amounts) {
        cols += QLatin1Char(',') + a.first;
        marks += QStringLiteral(",?");
        values << a.second;
    }
    dm.ADOLocal.execute(QStringLiteral("insert into TGZ (%1) values (%2)").arg(cols, marks), values);
    return dm.ADOLocal.lastInsertId();
}

void Session::completeItemSet(const QString& month)
{
    for (int n = 1; n <= 30; ++n) {
        const bool earning = n <= 20;
        const QString field = earning ? QStringLiteral("GZ%1").arg(n) : QStringLiteral("KK%1").arg(n - 20);
        dm.ADOLocal.execute(QStringLiteral("insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                           "select ?,?,'项目',?,?,1 where not exists "
                                           "(select 1 from TGZSet where GZMonth=? and GZField1=?)"),
                            {month, field, earning ? 0 : 1, earning ? n : n - 20, month, field});
    }
}

QStringList Session::dump(const QString& table, const QString& where)
{
    db::RecordSet rs(dm.ADOLocal);
    rs.setSql(QStringLiteral("select * from %1 %2 order by rowid").arg(table, where));
    rs.open();
    QStringList rows;
    for (; !rs.eof(); rs.next()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i)
            cells << (rs.field(i).isNull() ? QStringLiteral("<null>") : rs.field(i).asString());
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList Session::column(const QString& sql, const QVariantList& params)
{
    db::RecordSet rs(dm.ADOLocal);
    rs.setSql(sql, params);
    rs.open();
    QStringList out;
    for (; !rs.eof(); rs.next())
        out << rs.field(0).asString();
    return out;
}
