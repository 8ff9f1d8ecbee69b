#include "spreadsheet/Payslips.h"

#include "common/Text.h"
#include "common/uCommon.h"
#include "platform/db/RecordSet.h"
#include "platform/xls/XlsTable.h"
#include "platform/xls/XlsWriter.h"

#include <QDir>

#include <optional>

namespace spreadsheet {

namespace {

QString amountText(const QVariant& v, const QString& format)
{
    return FormatFloat(v.toDouble(), format); // an empty amount counts 0
}

QVariant field(const PayValues& row, const QString& name)
{
    return row.value(name.toUpper());
}

// Writes the template with the changed cell texts to path; false when it could not.
bool writeCopy(xls::XlsTable& sheet, const QStringList& cells, const QStringList& texts, const QString& path)
{
    try {
        int i = 0;
        for (sheet.first(); !sheet.eof(); sheet.next())
            for (int c = 0; c < sheet.columnCount(); ++c, ++i)
                if (texts[i] != cells[i])
                    sheet.setValue(c, texts[i]);
        xls::SaveFileAtomically(path, sheet.takeEditedCopy());
        return true;
    } catch (const slip::Error&) {
        sheet.takeEditedCopy(); // forget this file's changes
        return false;
    }
}

} // namespace

std::vector<Replacement> PayslipReplacements(const PayValues& row, const std::vector<payitems::PayItem>& items,
                                             const QString& company, const QString& month, int sequence,
                                             const QString& amountFormat)
{
    std::vector<Replacement> r{
        {QStringLiteral("[单位名称]"), company},
        {QStringLiteral("[EmpName]"), field(row, QStringLiteral("EmpName")).toString()},
        {QStringLiteral("[GZMonth]"), month},
        {QStringLiteral("[WorkDays]"), field(row, QStringLiteral("WorkDays")).toString()},
        {QStringLiteral("[OneDayMOney]"), amountText(field(row, QStringLiteral("OneDayMOney")), kWholeFormat)},
        {QStringLiteral("[SortIdx]"), QString::number(sequence)},
        {QStringLiteral("[YFTotal]"), amountText(field(row, QStringLiteral("YFTotal")), amountFormat)},
        {QStringLiteral("[KKTotal]"), amountText(field(row, QStringLiteral("KKTotal")), amountFormat)},
        {QStringLiteral("[GZTotal]"), amountText(field(row, QStringLiteral("GZTotal")), amountFormat)}};
    for (const payitems::PayItem& item : items) {
        const QString n = item.field.mid(2);
        const bool earning = item.field.startsWith(QLatin1String("GZ"), Qt::CaseInsensitive);
        const QString caption = (earning ? QStringLiteral("[工资项目") : QStringLiteral("[扣款项目")) + n + QLatin1Char(']');
        const QString amount = QLatin1Char('[') + item.field.left(2).toUpper() + n + QLatin1Char(']');
        r.push_back({caption, item.enabled() ? item.name : QStringLiteral("-")});
        r.push_back({amount, item.enabled() ? amountText(field(row, item.field), amountFormat) : QStringLiteral("-")});
    }
    return r;
}

void ApplyReplacements(QStringList& cells, const std::vector<Replacement>& replacements)
{
    for (const Replacement& r : replacements) {
        const QString text = r.text.trimmed().isEmpty() ? QStringLiteral("-") : r.text;
        for (QString& cell : cells) {
            const qsizetype at = cell.indexOf(r.placeholder);
            if (at >= 0)
                cell.replace(at, r.placeholder.size(), text);
        }
    }
}

QString PayslipFileName(int sequence, const QString& name)
{
    QString safe = name;
    for (QChar& c : safe)
        if (c == QLatin1Char('/') || c == QChar(0))
            c = QLatin1Char('_');
    return PadLeftZeros(QString::number(sequence), 4) + QLatin1Char('_') + safe + QStringLiteral(".xls");
}

PayslipRun WritePayslips(db::Connection& conn, const QString& month, const QString& templatePath,
                         const QString& folder, const QString& company, const QString& amountFormat,
                         const std::function<void(int done, int total)>& progress)
{
    const payitems::ItemList items = payitems::MonthItems(conn, month, payitems::ItemType::Both,
                                                          payitems::Reader::WorkbookPayslips);
    // The template's cells below its first row, read once. A template that cannot be read
    // writes no file; each pay row's file is then counted as not written.
    std::optional<xls::XlsTable> sheet;
    QStringList cells;
    try {
        sheet = xls::XlsTable::open(xls::LoadedWorkbook::read(templatePath), kPayslipSheet);
        for (sheet->first(); !sheet->eof(); sheet->next())
            for (int c = 0; c < sheet->columnCount(); ++c)
                cells << sheet->value(c);
    } catch (const xls::XlsError&) {
        sheet.reset();
    }

    PayslipRun run;
    db::RecordSet rows(conn);
    rows.setSql(QStringLiteral("Select * from TGZ where GZMonth=? order by DepartName,EmpName"), {month});
    try {
        rows.open();
    } catch (const db::DbError&) {
        return run; // pay rows that cannot be read give no file; the run still ends
    }
    const int total = rows.recordCount();
    int sequence = 1;
    for (rows.first(); !rows.eof(); rows.next(), ++sequence) {
        PayValues values;
        for (int f = 0; f < rows.fieldCount(); ++f)
            values.insert(rows.field(f).name().toUpper(), rows.field(f).value());
        const QString name = PayslipFileName(sequence, field(values, QStringLiteral("EmpName")).toString());
        QStringList texts = cells;
        ApplyReplacements(texts, PayslipReplacements(values, items.items, company, month, sequence, amountFormat));
        if (sheet && writeCopy(*sheet, cells, texts, QDir(folder).filePath(name)))
            ++run.written;
        else
            run.failed << name;
        if (progress)
            progress(sequence, total);
    }
    return run;
}

} // namespace spreadsheet
