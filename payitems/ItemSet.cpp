#include "payitems/ItemSet.h"

#include "data/Schema.h"
#include "platform/db/RecordSet.h"

namespace payitems {

namespace {

bool hasItems(db::Connection& conn, const QString& month, ItemType type, bool enabledOnly)
{
    QString sql = QStringLiteral("Select Count(*) from TGZSet where GZMonth=?");
    QVariantList params{month};
    if (type != ItemType::Both) {
        sql += QStringLiteral(" and GZType=?");
        params << int(type);
    }
    if (enabledOnly)
        sql += QStringLiteral(" and ShowStu=0");
    db::Statement st(conn, sql);
    st.bind(params);
    return st.step() && st.columnValue(0).toLongLong() > 0;
}

std::vector<PayItem> readItems(db::Connection& conn, const QString& owner, ItemType type, bool enabledOnly,
                               bool bySortIdx)
{
    QString sql = QStringLiteral("Select ID,GZField1,GZName,GZType,SortIdx,ShowStu from TGZSet where GZMonth=?");
    QVariantList params{owner};
    if (type != ItemType::Both) {
        sql += QStringLiteral(" and GZType=?");
        params << int(type);
    }
    if (enabledOnly)
        sql += QStringLiteral(" and ShowStu=0");
    sql += bySortIdx ? QStringLiteral(" Order by SortIdx,ID") : QStringLiteral(" Order by ID");
    db::Statement st(conn, sql);
    st.bind(params);
    std::vector<PayItem> items;
    while (st.step()) {
        PayItem it;
        it.id = st.columnValue(0).toLongLong();
        it.field = st.columnValue(1).toString();
        it.name = st.columnValue(2).toString();
        it.type = st.columnValue(3).toInt();
        it.sortIdx = st.columnValue(4).toInt();
        it.showStu = st.columnValue(5).toInt();
        items.push_back(std::move(it));
    }
    return items;
}

} // namespace

int ItemList::enabledCount() const
{
    int n = 0;
    for (const PayItem& it : items)
        n += it.enabled() ? 1 : 0;
    return n;
}

ItemList MonthItems(db::Connection& conn, const QString& month, ItemType type, Reader reader)
{
    ItemList list;
    switch (reader) {
    case Reader::SheetColumns:
        list.owner = hasItems(conn, month, type, false) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, type, false, true);
        break;
    case Reader::EntrySlots:
        list.owner = hasItems(conn, month, type, true) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, type, true, true);
        break;
    case Reader::ItemDialog:
        list.owner = hasItems(conn, month, ItemType::Earnings, false) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, type, false, false);
        break;
    case Reader::WorkbookPayslips: {
        list.owner = hasItems(conn, month, ItemType::Both, false) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, ItemType::Earnings, false, true);
        std::vector<PayItem> deductions = readItems(conn, list.owner, ItemType::Deductions, false, true);
        list.items.insert(list.items.end(), deductions.begin(), deductions.end());
        break;
    }
    case Reader::Payslips:
        list.owner = hasItems(conn, month, ItemType::Both, false) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, type, true, type != ItemType::Deductions);
        break;
    case Reader::CopySource:
        list.owner = hasItems(conn, month, ItemType::Both, false) ? month : schema::kTemplateMonth;
        list.items = readItems(conn, list.owner, ItemType::Both, false, false);
        break;
    }
    return list;
}

void OpenItemList(db::RecordSet& rs, ItemType type, const QString& owner)
{
    rs.close();
    rs.setSql(QStringLiteral("Select * from TGZSet where GZType=? and GZMonth=? Order by ID"), {int(type), owner});
    rs.open();
}

} // namespace payitems
