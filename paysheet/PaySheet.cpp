#include "paysheet/PaySheet.h"

#include "data/Schema.h"
#include "common/Text.h"
#include "platform/db/RecordSet.h"
#include "platform/grid/DBGrid.h"

namespace paysheet {

namespace {

grid::Column textColumn(const char* field, const QString& title, int width)
{
    grid::Column c(QString::fromLatin1(field), title);
    c.width = width;
    return c;
}

grid::Column amountColumn(const QString& field, const QString& title, int width)
{
    grid::Column c(field, title);
    c.width = width;
    c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    c.displayFormat = kWholeFormat;
    c.footer = grid::FooterKind::Sum;
    c.footerFormat = kWholeFormat;
    return c;
}

std::vector<std::pair<QString, bool>> readItems(db::Connection& conn, int type, const QString& month)
{
    db::RecordSet rs(conn);
    const QString sql = QStringLiteral("Select * from TGZSet where GZType=? and GZMonth=? Order by SortIDx");
    rs.setSql(sql, {type, month});
    rs.open();
    if (rs.isEmpty()) {
        rs.close();
        rs.setSql(sql, {type, schema::kTemplateMonth});
        rs.open();
    }
    std::vector<std::pair<QString, bool>> items;
    for (rs.first(); !rs.eof(); rs.next())
        items.emplace_back(rs.fieldByName(QStringLiteral("GZName")).asString(),
                           rs.fieldByName(QStringLiteral("ShowStu")).asInteger() == 0);
    return items;
}

} // namespace

QString SheetCaption(const QString& month)
{
    return QStringLiteral("月度[") + month + QStringLiteral("]工资发放明细表");
}

bool IsAmountColumn(const QString& f)
{
    static const QStringList totals{QStringLiteral("YFTotal"), QStringLiteral("KKTotal"), QStringLiteral("GZTotal")};
    return schema::EarningsColumns().contains(f, Qt::CaseInsensitive)
           || schema::DeductionColumns().contains(f, Qt::CaseInsensitive) || totals.contains(f, Qt::CaseInsensitive);
}

std::vector<grid::Column> SheetColumns()
{
    std::vector<grid::Column> cols;
    grid::Column id = textColumn("ID", QString(), 40);
    id.visible = false;
    cols.push_back(id);
    grid::Column no = textColumn("SortIdx", QStringLiteral("序号"), 40);
    no.alignment = Qt::AlignCenter;
    no.footer = grid::FooterKind::Text;
    no.footerText = QStringLiteral("合计");
    no.footerAlignment = Qt::AlignCenter;
    cols.push_back(no);
    cols.push_back(textColumn("GZMonth", QStringLiteral("月度"), 60));
    cols.push_back(textColumn("DepartName", QStringLiteral("部门"), 80));
    grid::Column name = textColumn("EmpName", QStringLiteral("姓名"), 70);
    name.footer = grid::FooterKind::Count;
    name.footerFormat = kCountFormat;
    cols.push_back(name);
    cols.push_back(textColumn("ZWName", QStringLiteral("职务"), 60));
    grid::Column days = amountColumn(QStringLiteral("WorkDays"), QStringLiteral("出勤天数"), 60);
    days.displayFormat = kDecimalFormat;
    days.footer = grid::FooterKind::None;
    cols.push_back(days);
    grid::Column rate = amountColumn(QStringLiteral("OneDayMOney"), QStringLiteral("工资/天"), 60);
    rate.footer = grid::FooterKind::None;
    cols.push_back(rate);
    for (const QString& f : schema::EarningsColumns())
        cols.push_back(amountColumn(f, kEarningsGroup + QLatin1Char('|') + f, 70));
    cols.push_back(amountColumn(QStringLiteral("YFTotal"), kEarningsGroup + QStringLiteral("|合计"), 76));
    for (const QString& f : schema::DeductionColumns())
        cols.push_back(amountColumn(f, kDeductionsGroup + QLatin1Char('|') + f, 70));
    cols.push_back(amountColumn(QStringLiteral("KKTotal"), kDeductionsGroup + QStringLiteral("|合计"), 76));
    cols.push_back(amountColumn(QStringLiteral("GZTotal"), QStringLiteral("实发工资"), 80));
    cols.push_back(textColumn("QM", QStringLiteral("签名/备注"), 80));
    grid::Column mail = textColumn("EMail", QStringLiteral("电子邮件地址"), 120);
    mail.visible = false;
    cols.push_back(mail);
    grid::Column at = textColumn("LOGTime", QStringLiteral("登记时间"), 100);
    at.displayFormat = kLogTimeFormat;
    cols.push_back(at);
    return cols;
}

bool ItemTitles::anyDeductionEnabled() const
{
    for (const auto& d : deductions)
        if (d.second)
            return true;
    return false;
}

ItemTitles ReadItemTitles(db::Connection& conn, const QString& month)
{
    ItemTitles t;
    t.earnings = readItems(conn, 0, month);
    t.deductions = readItems(conn, 1, month);
    return t;
}

void ApplyItemTitles(grid::DBGrid& g, const ItemTitles& titles)
{
    auto apply = [&g](const std::vector<std::pair<QString, bool>>& items, const QStringList& fields,
                      const QString& group) {
        for (size_t k = 0; k < size_t(fields.size()); ++k) {
            const int c = g.columnOfField(fields[int(k)]);
            if (k < items.size()) {
                g.setColumnTitle(c, group + QLatin1Char('|') + items[k].first);
                g.setColumnVisible(c, items[k].second);
            } else {
                // A set made before the template had all items: no caption, nothing shown.
                g.setColumnTitle(c, group + QLatin1Char('|') + fields[int(k)]);
                g.setColumnVisible(c, false);
            }
        }
    };
    apply(titles.earnings, schema::EarningsColumns(), kEarningsGroup);
    apply(titles.deductions, schema::DeductionColumns(), kDeductionsGroup);
    g.setColumnVisible(g.columnOfField(QStringLiteral("KKTotal")), titles.anyDeductionEnabled());
}

void ApplyDayColumns(grid::DBGrid& g, int printDays)
{
    g.setColumnVisible(g.columnOfField(QStringLiteral("WorkDays")), printDays == 1);
    g.setColumnVisible(g.columnOfField(QStringLiteral("OneDayMOney")), printDays == 1);
}

bool IsTemplateName(const QString& name)
{
    return name.compare(schema::kTemplateMonth, Qt::CaseInsensitive) == 0;
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
