#pragma once
#include <QByteArray>
#include <QStringList>

namespace paysheet {
struct ShownSheet;
}

namespace printing {

// The receipt payslips of every row of the sheet, in its order: a heading, a line of
// caption, tab and value for each visible column (the first and last column left out),
// a dash line after each "合计", and a closing rule. Amounts use "0.00" when showFloat
// is on, else "0"; an empty amount prints 0.
QStringList BuildPosLines(const paysheet::ShownSheet& sheet, int showFloat);

// The lines as the file holds them: GBK, each ended by CR LF.
QByteArray PosFileBytes(const QStringList& lines);

// Writes the file anew (atomically). Throws FileError.
void WritePosFile(const QString& path, const QStringList& lines);

inline const QString kPosFile = QStringLiteral("tmp.Txt");

} // namespace printing
