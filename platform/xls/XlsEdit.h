#pragma once
#include <QByteArray>
#include <QString>

#include <map>

namespace xls {

// A copy of the .xls file with new texts in cells of one sheet ((row, col) -> text). Every
// other stream and sheet keeps its bytes, except the stream positions that must move with
// the grown string table. The cells must hold text already. Throws XlsError.
QByteArray ReplaceCellTexts(const QByteArray& file, const QString& sheetName,
                            const std::map<std::pair<int, int>, QString>& texts);

} // namespace xls
