#include "data/Schema.h"

#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace schema {

namespace {

// Declared text lengths are enforced, as the original engine did.
QString textColumn(const QString& name, int length, bool noCase = false)
{
    return QStringLiteral("%1 VARCHAR(%2)%3 CHECK (length(%1) <= %2)")
        .arg(name).arg(length).arg(noCase ? QStringLiteral(" COLLATE NOCASE") : QString());
}

struct TemplateItem {
    const char* field;
    const char* caption;
    int type;
    int sortIdx;
    int showStu;
};

// What a small company pays and withholds; the rarer earnings start disabled.
constexpr TemplateItem kDeliveredItems[] = {
    {"GZ1", "基本工资", 0, 1, 0},  {"GZ2", "岗位工资", 0, 2, 0},  {"GZ3", "绩效工资", 0, 3, 0},
    {"GZ4", "加班费", 0, 4, 0},    {"GZ5", "全勤奖", 0, 5, 0},    {"GZ6", "工龄工资", 0, 6, 1},
    {"GZ7", "交通补贴", 0, 7, 0},  {"GZ8", "餐费补贴", 0, 8, 0},  {"GZ9", "通讯补贴", 0, 9, 1},
    {"GZ10", "其他补贴", 0, 10, 1},
    {"KK1", "养老保险", 1, 1, 0},  {"KK2", "医疗保险", 1, 2, 0},  {"KK3", "失业保险", 1, 3, 0},
    {"KK4", "住房公积金", 1, 4, 0}, {"KK5", "个人所得税", 1, 5, 0},
};

} // namespace

namespace {

// One step per version: steps[v] brings a file of version v to v + 1.
using UpgradeStep = void (*)(db::Connection&);
void toVersion1(db::Connection&)
{
    // The first delivered files carry version 0 with the version 1 layout.
}
constexpr UpgradeStep kUpgradeSteps[kSchemaVersion] = {toVersion1};

} // namespace

void UpgradeDatabase(db::Connection& conn)
{
    const int version = conn.schemaVersion();
    if (version > kSchemaVersion)
        throw db::NewerDatabaseError(QStringLiteral("The database has schema version %1; this program knows %2.")
                                         .arg(version).arg(kSchemaVersion));
    if (version == kSchemaVersion)
        return;
    db::Transaction tx(conn);
    for (int v = version; v < kSchemaVersion; ++v)
        kUpgradeSteps[v](conn);
    conn.execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    tx.commit();
}

void StructUpdate(db::Connection& conn)
{
    db::Transaction tx(conn);
    auto addMissing = [&conn](const QString& prefix, int from, int to, int type) {
        for (int n = from; n <= to; ++n) {
            const QString field = prefix + QString::number(n);
            // GZField1 compares without regard to letter case: "gz15" counts as GZ15.
            db::Statement found(conn, QStringLiteral("Select count(*) from TGZSet where GZMonth=? and GZField1=?"));
            found.bind({kTemplateMonth, field});
            if (found.step() && found.columnValue(0).toLongLong() > 0)
                continue;
            conn.execute(QStringLiteral("Insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                        "values (?,?,?,?,?,1)"),
                         {kTemplateMonth, field, QStringLiteral("工资项目"), type, n});
        }
    };
    addMissing(QStringLiteral("GZ"), 11, 20, 0);
    addMissing(QStringLiteral("KK"), 6, 10, 1);
    tx.commit();
}

QString ConnectionStringFor(const QString& programFolder)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + programFolder + kDatabaseFile
           + QStringLiteral(";Persist Security Info=False") + QStringLiteral(";Jet OLEDB:Database Password=")
           + kDatabasePassword;
}

QStringList EarningsColumns()
{
    QStringList c;
    for (int n = 1; n <= 20; ++n)
        c << QStringLiteral("GZ%1").arg(n);
    return c;
}

QStringList DeductionColumns()
{
    QStringList c;
    for (int n = 1; n <= 10; ++n)
        c << QStringLiteral("KK%1").arg(n);
    return c;
}

QString TablesSql()
{
    QStringList tgz;
    tgz << QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT") << textColumn(QStringLiteral("GZMonth"), 50, true)
        << textColumn(QStringLiteral("DepartName"), 50) << textColumn(QStringLiteral("EmpName"), 50)
        << textColumn(QStringLiteral("ZWName"), 20) << QStringLiteral("WorkDays FLOAT")
        << QStringLiteral("OneDayMOney FLOAT");
    for (const QString& c : EarningsColumns())
        tgz << c + QStringLiteral(" FLOAT");
    tgz << QStringLiteral("YFTotal FLOAT");
    for (const QString& c : DeductionColumns())
        tgz << c + QStringLiteral(" FLOAT");
    tgz << QStringLiteral("KKTotal FLOAT") << QStringLiteral("GZTotal FLOAT") << textColumn(QStringLiteral("QM"), 10)
        << textColumn(QStringLiteral("EMail"), 20) << QStringLiteral("LOGTime DATETIME");

    const QStringList tpara{textColumn(QStringLiteral("EntName"), 100), QStringLiteral("BillHeight FLOAT"),
                            QStringLiteral("PrintDays INTEGER"), QStringLiteral("ShowFloat INTEGER"),
                            textColumn(QStringLiteral("LogPass"), 50), textColumn(QStringLiteral("ClientVer"), 50)};
    const QStringList tmonth{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"),
                             textColumn(QStringLiteral("GZMonth"), 50, true)};
    const QStringList tset{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"),
                           textColumn(QStringLiteral("GZMonth"), 50, true),
                           textColumn(QStringLiteral("GZField1"), 10, true),
                           textColumn(QStringLiteral("GZName"), 50),
                           QStringLiteral("GZType INTEGER"), QStringLiteral("SortIdx INTEGER"),
                           QStringLiteral("ShowStu INTEGER")};
    const QString sep = QStringLiteral(",\n  ");
    return QStringLiteral("CREATE TABLE TPara (\n  ") + tpara.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE TABLE TGZMonth (\n  ") + tmonth.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE TABLE TGZ (\n  ") + tgz.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE TABLE TGZSet (\n  ") + tset.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE INDEX TGZ_Month ON TGZ (GZMonth);\n")
           + QStringLiteral("CREATE INDEX TGZSet_Month ON TGZSet (GZMonth, GZType, SortIdx);\n");
}

void BuildDeliveredDatabase(const QString& path)
{
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    QDir().mkpath(QFileInfo(path).absolutePath());
    {
        db::Connection::createDatabase(temp, kDatabasePassword, TablesSql());
        db::Connection conn;
        conn.open(QStringLiteral("Data Source=%1;Jet OLEDB:Database Password=%2").arg(temp, kDatabasePassword));
        db::Transaction tx(conn);
        conn.execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        conn.execute(QStringLiteral("Insert into TPara (EntName,BillHeight,PrintDays,ShowFloat,LogPass,ClientVer) "
                                    "values (?,?,?,?,?,?)"),
                     {QStringLiteral("示例科技有限公司"), 296.78, 0, 0, kInitialPassword, QStringLiteral("2026121001")});
        for (const TemplateItem& item : kDeliveredItems)
            conn.execute(QStringLiteral("Insert into TGZSet (GZMonth,GZField1,GZName,GZType,SortIdx,ShowStu) "
                                        "values (?,?,?,?,?,?)"),
                         {kTemplateMonth, QString::fromLatin1(item.field), QString::fromUtf8(item.caption), item.type,
                          item.sortIdx, item.showStu});
        tx.commit();
        // One self-contained file: fold the write-ahead log back in and leave rollback journaling.
        conn.execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        conn.execute(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    QFile::remove(temp + QStringLiteral("-wal"));
    QFile::remove(temp + QStringLiteral("-shm"));
    QFile::remove(path);
    if (!QFile::rename(temp, path))
        throw db::DbError(QStringLiteral("Cannot write '%1'.").arg(path));
}

} // namespace schema
