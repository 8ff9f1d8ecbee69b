#include "data/Schema.h"

#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace schema {

namespace {

// Declared text lengths are enforced, as the original engine did: in characters by the
// column's CHECK, in GBK bytes (the program's measure) by triggers on every write.
struct TextColumn {
    const char* name;
    int length;
    const char* collation; // nullptr: binary
};

QString textColumn(const TextColumn& c)
{
    const QString name = QString::fromLatin1(c.name);
    return QStringLiteral("%1 VARCHAR(%2)%3 CHECK (length(%1) <= %2)")
        .arg(name)
        .arg(c.length)
        .arg(c.collation ? QStringLiteral(" COLLATE ") + QString::fromLatin1(c.collation) : QString());
}

constexpr TextColumn kParaText[] = {{"EntName", 100, nullptr}, {"LogPass", 50, nullptr}, {"ClientVer", 50, nullptr}};
constexpr TextColumn kMonthText[] = {{"GZMonth", 50, "NOCASE"}};
// Names of departments, people and positions order as a Chinese operator expects.
constexpr TextColumn kPayRowText[] = {{"GZMonth", 50, "NOCASE"},   {"DepartName", 50, "CHINESE"},
                                      {"EmpName", 50, "CHINESE"},  {"ZWName", 20, "CHINESE"},
                                      {"QM", 10, nullptr},         {"EMail", 20, nullptr}};
constexpr TextColumn kItemText[] = {{"GZMonth", 50, "NOCASE"}, {"GZField1", 10, "NOCASE"}, {"GZName", 50, nullptr}};

QString tgzTableSql(const QString& table)
{
    QStringList tgz;
    tgz << QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT") << textColumn(kPayRowText[0])
        << textColumn(kPayRowText[1]) << textColumn(kPayRowText[2]) << textColumn(kPayRowText[3])
        << QStringLiteral("WorkDays FLOAT") << QStringLiteral("OneDayMOney FLOAT");
    for (const QString& c : EarningsColumns())
        tgz << c + QStringLiteral(" FLOAT");
    tgz << QStringLiteral("YFTotal FLOAT");
    for (const QString& c : DeductionColumns())
        tgz << c + QStringLiteral(" FLOAT");
    tgz << QStringLiteral("KKTotal FLOAT") << QStringLiteral("GZTotal FLOAT") << textColumn(kPayRowText[4])
        << textColumn(kPayRowText[5]) << QStringLiteral("LOGTime DATETIME");
    return QStringLiteral("CREATE TABLE %1 (\n  ").arg(table) + tgz.join(QStringLiteral(",\n  ")) + QStringLiteral(");\n");
}

// Triggers refusing a text longer than its column in GBK bytes; existing rows stay as
// they are until that column is written.
template <size_t N>
QString gbkTriggers(const char* table, const TextColumn (&columns)[N])
{
    QString sql;
    const QString t = QString::fromLatin1(table);
    for (const TextColumn& c : columns) {
        const QString col = QString::fromLatin1(c.name);
        const QString when = QStringLiteral("WHEN gbklength(NEW.%1) > %2 BEGIN SELECT RAISE(ABORT, '%1: at most %2 GBK bytes'); END;\n")
                                 .arg(col).arg(c.length);
        sql += QStringLiteral("CREATE TRIGGER %1_%2_ins BEFORE INSERT ON %1 ").arg(t, col) + when;
        sql += QStringLiteral("CREATE TRIGGER %1_%2_upd BEFORE UPDATE OF %2 ON %1 ").arg(t, col) + when;
    }
    return sql;
}

QString lengthTriggersSql()
{
    return gbkTriggers("TPara", kParaText) + gbkTriggers("TGZMonth", kMonthText) + gbkTriggers("TGZ", kPayRowText)
           + gbkTriggers("TGZSet", kItemText);
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

// Pay rows order their names in Chinese, and every text column counts GBK bytes. The
// pay rows move to a table declared so, keeping their IDs and the ID counter.
void toVersion2(db::Connection& conn)
{
    QStringList columns;
    {
        db::Statement info(conn, QStringLiteral("PRAGMA table_info(TGZ)"));
        while (info.step())
            columns << info.columnValue(1).toString();
    }
    QVariant seq;
    {
        db::Statement st(conn, QStringLiteral("Select seq from sqlite_sequence where name='TGZ'"));
        if (st.step())
            seq = st.columnValue(0);
    }
    conn.execute(tgzTableSql(QStringLiteral("TGZ_new")));
    const QString list = columns.join(QLatin1Char(','));
    conn.execute(QStringLiteral("Insert into TGZ_new (%1) Select %1 from TGZ").arg(list));
    conn.execute(QStringLiteral("Drop table TGZ"));
    conn.execute(QStringLiteral("Alter table TGZ_new rename to TGZ"));
    conn.execute(QStringLiteral("Create index TGZ_Month ON TGZ (GZMonth)"));
    if (seq.isValid()) {
        conn.execute(QStringLiteral("Delete from sqlite_sequence where name='TGZ'"));
        conn.execute(QStringLiteral("Insert into sqlite_sequence (name, seq) values ('TGZ', ?)"), {seq});
    }
    for (const QString& trigger : lengthTriggersSql().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        conn.execute(trigger);
}

constexpr UpgradeStep kUpgradeSteps[kSchemaVersion] = {toVersion1, toVersion2};

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
    return ConnectionStringForFile(programFolder + kDatabaseFile);
}

QString ConnectionStringForFile(const QString& path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
           + QStringLiteral(";Persist Security Info=False") + QStringLiteral(";Jet OLEDB:Database Password=")
           + kDatabasePassword;
}

void CheckDatabaseFile(const QString& path)
{
    db::Connection conn;
    conn.open(ConnectionStringForFile(path), kSchemaVersion);
    conn.execute(QStringLiteral("select count(*) from TPara"));
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
    QStringList tpara{textColumn(kParaText[0]), QStringLiteral("BillHeight FLOAT"), QStringLiteral("PrintDays INTEGER"),
                      QStringLiteral("ShowFloat INTEGER"), textColumn(kParaText[1]), textColumn(kParaText[2])};
    const QStringList tmonth{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"), textColumn(kMonthText[0])};
    const QStringList tset{QStringLiteral("ID INTEGER PRIMARY KEY AUTOINCREMENT"), textColumn(kItemText[0]),
                           textColumn(kItemText[1]), textColumn(kItemText[2]), QStringLiteral("GZType INTEGER"),
                           QStringLiteral("SortIdx INTEGER"), QStringLiteral("ShowStu INTEGER")};
    const QString sep = QStringLiteral(",\n  ");
    return QStringLiteral("CREATE TABLE TPara (\n  ") + tpara.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE TABLE TGZMonth (\n  ") + tmonth.join(sep) + QStringLiteral(");\n")
           + tgzTableSql(QStringLiteral("TGZ"))
           + QStringLiteral("CREATE TABLE TGZSet (\n  ") + tset.join(sep) + QStringLiteral(");\n")
           + QStringLiteral("CREATE INDEX TGZ_Month ON TGZ (GZMonth);\n")
           + QStringLiteral("CREATE INDEX TGZSet_Month ON TGZSet (GZMonth, GZType, SortIdx);\n") + lengthTriggersSql();
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
