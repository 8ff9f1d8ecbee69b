// Speed checks of the program's heavy paths, each against a plain baseline in the same run.
// Prints one line per benchmark; the goal of month-load is ratio <= 3.
#include "data/Schema.h"
#include "common/StartValues.h"
#include "data/uDM.h"
#include "app/uMain.h"
#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Ui.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

namespace {

const QString kMonth = QStringLiteral("202612");
constexpr int kRows = 10000;

// One month with a full item set and kRows pay rows of plausible people and amounts.
void fillMonth(db::Connection& conn)
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

// Best wall time of several runs, in milliseconds.
double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

// Every value of every row, the way any reader of the table must touch them.
void plainScan(db::Connection& conn)
{
    db::Statement st(conn, QStringLiteral("Select * from TGZ where GZMonth=? order by DepartName,EmpName"));
    st.bind({kMonth});
    qint64 bytes = 0;
    while (st.step()) {
        for (int i = 0; i < st.columnCount(); ++i) {
            switch (sqlite3_column_type(st.raw(), i)) {
            case SQLITE_TEXT:
                bytes += sqlite3_column_bytes(st.raw(), i);
                break;
            case SQLITE_FLOAT:
                bytes += qint64(sqlite3_column_double(st.raw(), i)) & 1;
                break;
            default:
                bytes += sqlite3_column_int(st.raw(), i) & 1;
            }
        }
    }
    if (bytes < 0)
        qFatal("unreachable");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    ui::ScriptedUi quietUi;
    ui::ScopedUi uiScope(quietUi);
    shell::RecordingShell quietShell;
    shell::ScopedShell shellScope(quietShell);

    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    schema::BuildDeliveredDatabase(folder + schema::kDatabaseFile);
    QFile(folder + QStringLiteral("NotFirst.txt")).open(QIODevice::WriteOnly);
    TDM dm;
    if (!dm.ConnectTo(folder)) {
        out << "cannot open the database: " << dm.ConnectError() << "\n";
        return 1;
    }
    out << "building one month of " << kRows << " pay rows...\n";
    out.flush();
    fillMonth(dm.ADOLocal);

    TfrmMainGZT window(dm, folder);
    const int runs = 5;
    const double sqliteMs = bestOf(runs, [&] { plainScan(dm.ADOLocal); });
    const double oursMs = bestOf(runs, [&] {
        window.ReadyGZList(kMonth);
        for (int c = 0; c < window.gridDetail->columnCount(); ++c)
            window.gridDetail->footerText(c);
    });
    if (window.gridDetail->rowCount() != kRows) {
        out << "loaded " << window.gridDetail->rowCount() << " rows, expected " << kRows << "\n";
        return 1;
    }
    out << QStringLiteral("month-load rows=%1 ours_ms=%2 sqlite_ms=%3 ratio=%4\n")
               .arg(kRows)
               .arg(oursMs, 0, 'f', 1)
               .arg(sqliteMs, 0, 'f', 1)
               .arg(oursMs / sqliteMs, 0, 'f', 2);
    return 0;
}
