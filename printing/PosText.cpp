#include "printing/PosText.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "paysheet/ShownSheet.h"

#include <QFile>
#include <QSaveFile>

namespace printing {

namespace {

constexpr int kMinCaptionWidth = 10;
const QString kTotalRule = QStringLiteral("-----------");
const QString kSlipRule = QString(39, QLatin1Char('-'));

} // namespace

QStringList BuildPosLines(const paysheet::ShownSheet& sheet, int showFloat)
{
    const QString format = AmountFormatFor(showFloat);
    const int firstCol = 1, lastCol = sheet.columnCount() - 2; // without the ID and the registration time
    int width = kMinCaptionWidth;
    for (int c = firstCol; c <= lastCol; ++c)
        width = std::max(width, GbkLength(sheet.columns[size_t(c)].title));
    // Captions padded once; only visible columns print.
    std::vector<std::pair<int, QString>> shown;
    for (int c = firstCol; c <= lastCol; ++c) {
        const paysheet::ShownColumn& col = sheet.columns[size_t(c)];
        if (!col.visible)
            continue;
        const qsizetype bar = col.title.indexOf(QLatin1Char('|'));
        shown.push_back({c, PadRightSpaces(bar < 0 ? col.title : col.title.mid(bar + 1), width)});
    }
    const QString heading = QString((width - 3) / 2, QLatin1Char(' ')) + QStringLiteral("   工资条");
    QStringList lines;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        lines << heading;
        for (const auto& [c, caption] : shown) {
            const paysheet::ShownColumn& col = sheet.columns[size_t(c)];
            const QVariant& stored = sheet.values[size_t(r)][size_t(c)];
            // An amount the grid already shows in this format is taken as shown.
            const bool amount = col.type == db::FieldType::Float && col.hasField;
            const QString value = !amount || (col.format == format && !stored.isNull())
                                      ? sheet.texts[size_t(r)][c]
                                      : FormatFloat(stored.toDouble(), format);
            lines << caption + QLatin1Char('\t') + value;
            if (caption.contains(QStringLiteral("合计")))
                lines << kTotalRule;
        }
        lines << QString() << kSlipRule << QString();
    }
    return lines;
}

QByteArray PosFileBytes(const QStringList& lines)
{
    if (lines.isEmpty())
        return {};
    return ToGbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void WritePosFile(const QString& path, const QStringList& lines)
{
    QFile::remove(path); // a file that cannot be deleted is replaced below
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(PosFileBytes(lines)) < 0 || !f.commit())
        throw FileError(QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString()));
}

} // namespace printing
