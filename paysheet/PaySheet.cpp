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

QStringList FloatFields()
{
    QStringList f = schema::EarningsColumns() + schema::DeductionColumns();
    f << QStringLiteral("WorkDays") << QStringLiteral("OneDayMOney") << QStringLiteral("YFTotal")
      << QStringLiteral("KKTotal") << QStringLiteral("GZTotal");
    return f;
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

ItemTitles ReadItemTitles(db::Connection& conn, const QString& month)
{
    using namespace payitems;
    return {MonthItems(conn, month, ItemType::Earnings, Reader::SheetColumns),
            MonthItems(conn, month, ItemType::Deductions, Reader::SheetColumns)};
}

void ApplyItemTitles(grid::DBGrid& g, const ItemTitles& titles)
{
    auto apply = [&g](const payitems::ItemList& list, const QStringList& fields, const QString& group) {
        const auto& items = list.items;
        for (size_t k = 0; k < size_t(fields.size()); ++k) {
            const int c = g.columnOfField(fields[int(k)]);
            if (k < items.size()) {
                g.setColumnTitle(c, group + QLatin1Char('|') + items[k].name);
                g.setColumnVisible(c, items[k].enabled());
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

void OpenSheetRows(db::RecordSet& sheet, const QString& month)
{
    sheet.close();
    sheet.setSql(QStringLiteral("Select * from TGZ where GZMonth=? order by DepartName,EmpName"), {month});
    sheet.open();
}

void OpenMonthList(db::RecordSet& months)
{
    months.close();
    months.setSql(QStringLiteral("select * from  TGZMonth Order by ID Desc"));
    months.open();
}

void OpenHistoryMonths(db::RecordSet& months)
{
    months.close();
    months.setSql(QStringLiteral("select Distinct GZMonth from TGZ Order by GZMonth Desc"));
    months.open();
}

} // namespace paysheet
