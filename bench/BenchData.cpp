#include "bench/BenchData.h"

#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QRandomGenerator>

#include <cmath>
#include <iterator>

namespace bench {


// One month with a full item set and kRows pay rows of plausible people and amounts.
void FillMonth(db::Connection& conn, const QString& kMonth, int kRows)
{
    static const char* const family[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "周", "吴", "徐", "孙"};
    static const char* const given[] = {"伟", "芳", "娜", "敏", "静", "磊", "强", "洋", "艳", "军", "杰", "涛", "明", "超"};
    static const char* const departs[] = {"财务部", "销售部", "生产一车间", "生产二车间", "行政部", "技术部", "仓储部"};
    static const char* const posts[] = {"职员", "主管", "经理", "工人", "技术员"};
    QRandomGenerator rng(20261210);
    db::Transaction tx(conn);
    conn.execute(QStringLiteral("insert into TGZMonth (GZMonth) values (?)"), {kMonth});
    for (int n = 1; n <= 30; ++n) {
        const bool earning = n <= 20;
        const int idx = earning ? n : n - 20;
        conn.execute(QStringLiteral("insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) values (?,?,?,?,?,0)"),
                     {kMonth, QStringLiteral("%1%2").arg(earning ? QStringLiteral("GZ") : QStringLiteral("KK")).arg(idx),
                      QStringLiteral("项目%1").arg(n), earning ? 0 : 1, idx});
    }
    QString cols = QStringLiteral("GZMonth,DepartName,EmpName,ZWName,WorkDays,OneDayMOney,YFTotal,KKTotal,GZTotal,QM,LOGTime");
    QString marks = QStringLiteral("?,?,?,?,?,?,?,?,?,?,?");
    for (const QString& c : schema::EarningsColumns() + schema::DeductionColumns()) {
        cols += QLatin1Char(',') + c;
        marks += QStringLiteral(",?");
    }
    const QString sql = QStringLiteral("insert into TGZ (%1) values (%2)").arg(cols, marks);
    for (int r = 0; r < kRows; ++r) {
        double earn = 0, deduct = 0;
        QVariantList amounts;
        for (int n = 0; n < 30; ++n) {
            const double v = std::round(rng.bounded(50000)) / 10.0;
            (n < 20 ? earn : deduct) += v;
            amounts << v;
        }
        QVariantList values{kMonth,
                            QString::fromUtf8(departs[rng.bounded(int(std::size(departs)))]),
                            QString::fromUtf8(family[rng.bounded(int(std::size(family)))])
                                + QString::fromUtf8(given[rng.bounded(int(std::size(given)))])
                                + QString::number(r),
                            QString::fromUtf8(posts[rng.bounded(int(std::size(posts)))]),
                            21.5, 230.0, earn, deduct, earn - deduct, QString(), QStringLiteral("2026-12-05 09:30:00")};
        conn.execute(sql, values + amounts);
    }
    tx.commit();
}

} // namespace bench
