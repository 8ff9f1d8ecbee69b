#pragma once
#include <QString>

#include <vector>

namespace db {
class Connection;
class RecordSet;
} // namespace db

namespace payitems {

// One row of TGZSet: the caption and state of one pay row column in one month.
struct PayItem {
    qint64 id = 0;
    QString field;   // GZField1: "GZ1".."GZ20", "KK1".."KK10"
    QString name;    // GZName, the caption
    int type = 0;    // 0 earnings, 1 deductions
    int sortIdx = 0;
    int showStu = 0; // 0 enabled, 1 disabled
    bool enabled() const { return showStu == 0; }
};

enum class ItemType { Earnings = 0, Deductions = 1, Both = -1 };

// Who reads a month's items: each reader has its own selection, order and rule for
// falling back to the template set "BASE".
enum class Reader {
    // The pay sheet's columns: all items of the type by SortIdx; BASE when the month has
    // no items of that type.
    SheetColumns,
    // The entry dialog's slots: enabled items of the type by SortIdx; BASE when the month
    // has no enabled items of that type.
    EntrySlots,
    // The item set dialog: items of the type by ID; BASE (for both types) when the month
    // has no earnings items.
    ItemDialog,
    // Payslips, printed and electronic: enabled items of the type, earnings by SortIdx and
    // deductions by ID; BASE when the month has no items at all.
    Payslips,
    // Copying a set: all items of both types by ID; BASE when the month has none.
    CopySource,
    // Electronic payslips' placeholders: all items, earnings then deductions, each by
    // SortIdx; BASE when the month has no items at all.
    WorkbookPayslips,
};

// The items a reader gets and the set they come from (the month, or "BASE").
struct ItemList {
    QString owner;
    std::vector<PayItem> items;
    int enabledCount() const;
};

// A month's items for one reader, with that reader's fallback to BASE. Throws db::DbError.
ItemList MonthItems(db::Connection& conn, const QString& month, ItemType type, Reader reader);

// Opens rs on the items of one type of a set in ID order, for editing in the item dialog.
void OpenItemList(db::RecordSet& rs, ItemType type, const QString& owner);

} // namespace payitems
