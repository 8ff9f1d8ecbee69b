#pragma once
#include <QString>

namespace db {
class Connection;
}

// Replaces the item set of newMonth by a copy of sourceMonth's items (BASE's when the
// source has none), in ID order, in one transaction: on failure (db::DbError) the month
// keeps the items it had. Copying a month onto itself keeps its set.
void CopyItemSet(db::Connection& conn, const QString& newMonth, const QString& sourceMonth);

inline const QString kCopyItemSetFailed = QStringLiteral("增加新月度的工资项目模板失败！");
