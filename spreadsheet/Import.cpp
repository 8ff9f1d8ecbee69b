#include "spreadsheet/Import.h"

#include "data/Schema.h"
#include "paysheet/ShownSheet.h"
#include "platform/db/Connection.h"
#include "platform/xls/XlsTable.h"

#include <QSet>

namespace spreadsheet {

namespace {

const QStringList kNeverImported{QStringLiteral("YFTotal"), QStringLiteral("KKTotal"), QStringLiteral("GZTotal"),
                                 QStringLiteral("QM")};

bool isNumberField(const QString& field)
{
    static const QSet<QString> numbers = [] {
        QSet<QString> s{QStringLiteral("WORKDAYS"), QStringLiteral("ONEDAYMONEY")};
        for (const QString& c : schema::EarningsColumns() + schema::DeductionColumns())
            s.insert(c.toUpper());
        return s;
    }();
    return numbers.contains(field.toUpper());
}

// The text before the first blank, taken off the line with that blank.
QString takeWord(QString& line)
{
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    if (blank < 0) {
        line.clear();
        return QString();
    }
    const QString word = line.left(blank);
    line.remove(0, blank + 1);
    return word;
}

// A cell's text as the value of a field: null when empty; false when it is no number.
bool fieldValue(const QString& field, const QString& text, QVariant& value)
{
    if (text.isEmpty()) {
        value = QVariant();
        return true;
    }
    if (!isNumberField(field)) {
        value = text;
        return true;
    }
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    value = d;
    return ok;
}

constexpr int kProgressEvery = 200;
constexpr int kSkippedListed = 20;

} // namespace

QString ImportFieldList(const paysheet::ShownSheet& sheet)
{
    const int from = sheet.columnOfField(QStringLiteral("DepartName"));
    const int to = sheet.columnOfField(QStringLiteral("EMail"));
    QString list;
    for (int c = from; from >= 0 && c <= to; ++c) {
        const paysheet::ShownColumn& col = sheet.columns.at(size_t(c));
        if (!col.visible || kNeverImported.contains(col.field, Qt::CaseInsensitive))
            continue;
        list += col.title + QLatin1Char(' ') + col.field + QStringLiteral(" CHAR N N\r\n");
    }
    return list;
}

std::vector<MappingRow> ParseFieldList(const QString& list)
{
    std::vector<MappingRow> rows;
    for (QString line : list.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        MappingRow r;
        r.caption = takeWord(line);
        r.field = takeWord(line);
        r.type = takeWord(line);
        r.unique = takeWord(line);
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        r.required = blank < 0 ? line : line.left(blank);
        rows.push_back(r);
    }
    return rows;
}

QString SourceConnectionString(const QString& path)
{
    const QString empty = QStringLiteral("\"\"");
    const std::pair<QString, QString> props[] = {
        {QStringLiteral("Provider"), QStringLiteral("Microsoft.Jet.OLEDB.4.0")},
        {QStringLiteral("User ID"), QStringLiteral("Admin")},
        {QStringLiteral("Data Source"), path},
        {QStringLiteral("Mode"), QStringLiteral("Share Deny None")},
        {QStringLiteral("Extended Properties"), QStringLiteral("Excel 8.0")},
        {QStringLiteral("Persist Security Info"), QStringLiteral("False")},
        {QStringLiteral("Jet OLEDB:System database"), empty},
        {QStringLiteral("Jet OLEDB:Registry Path"), empty},
        {QStringLiteral("Jet OLEDB:Database Password"), empty},
        {QStringLiteral("Jet OLEDB:Engine Type"), QStringLiteral("35")},
        {QStringLiteral("Jet OLEDB:Database Locking Mode"), QStringLiteral("0")},
        {QStringLiteral("Jet OLEDB:Global Partial Bulk Ops"), QStringLiteral("2")},
        {QStringLiteral("Jet OLEDB:Global Bulk Transactions"), QStringLiteral("1")},
        {QStringLiteral("Jet OLEDB:New Database Password"), empty},
        {QStringLiteral("Jet OLEDB:Create System Database"), QStringLiteral("False")},
        {QStringLiteral("Jet OLEDB:Encrypt Database"), QStringLiteral("False")},
        {QStringLiteral("Jet OLEDB:Don't Copy Locale on Compact"), QStringLiteral("False")},
        {QStringLiteral("Jet OLEDB:Compact Without Replica Repair"), QStringLiteral("False")},
        {QStringLiteral("Jet OLEDB:SFP"), QStringLiteral("False")}};
    QStringList parts;
    for (const auto& [name, value] : props)
        parts << name + QLatin1Char('=') + value;
    return parts.join(QLatin1Char(';'));
}

int FindField(const xls::Table& table, const QString& name)
{
    const QStringList names = table.columnNames();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].toUpper() == name.toUpper())
            return i;
    return -1;
}

void MatchAutomatically(std::vector<MappingRow>& rows, const xls::Table& table)
{
    const QStringList names = table.columnNames();
    for (MappingRow& r : rows)
        if (const int i = FindField(table, r.caption); i >= 0)
            r.source = names.at(i);
}

ImportResult ImportRows(db::Connection& conn, xls::Table& table, const std::vector<MappingRow>& rows,
                        const QString& month, const QDateTime& now, const ImportProgress& progress)
{
    QStringList fields{QStringLiteral("GZMonth"), QStringLiteral("LOGTime")};
    std::vector<int> sourceColumns; // per mapped row; -1: the sheet lacks it
    std::vector<QString> mappedFields;
    for (const MappingRow& r : rows) {
        if (r.source.isEmpty())
            continue;
        fields << r.field;
        mappedFields.push_back(r.field);
        sourceColumns.push_back(FindField(table, r.source));
    }
    const QString sql = QStringLiteral("Insert into TGZ (%1) values (%2)")
                            .arg(fields.join(QLatin1Char(',')), QStringList(fields.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    ImportResult result;
    const int total = table.recordCount();
    db::Transaction tx(conn);
    std::unique_ptr<db::Statement> insert;
    try {
        insert = std::make_unique<db::Statement>(conn, sql);
    } catch (const db::DbError&) {
        // A field the table lacks: every record is skipped below.
    }
    int sheetRow = 2; // the header is row 1
    for (table.first(); !table.eof(); table.next(), ++sheetRow) {
        QVariantList values{month, now.toString(QString::fromLatin1(db::kStoredDateTimeFormat))};
        bool ok = insert != nullptr;
        for (size_t i = 0; ok && i < sourceColumns.size(); ++i) {
            QVariant v;
            ok = sourceColumns[i] >= 0 && fieldValue(mappedFields[i], table.value(sourceColumns[i]), v);
            values << v;
        }
        if (ok) {
            try {
                db::Transaction row(conn); // a savepoint: a refused row leaves nothing
                insert->bind(values);
                while (insert->step()) {
                }
                row.commit();
            } catch (const db::DbError&) {
                ok = false;
            }
        }
        if (ok) {
            ++result.imported;
        } else {
            ++result.skipped;
            result.skippedRows << sheetRow;
        }
        if (progress && (sheetRow - 1) % kProgressEvery == 0)
            progress(sheetRow - 1, total);
    }
    insert.reset();
    tx.commit();
    if (progress)
        progress(total, total);
    return result;
}

void RecomputeMonthTotals(db::Connection& conn, const QString& month)
{
    QStringList earnings, deductions;
    for (const QString& c : schema::EarningsColumns())
        earnings << QStringLiteral("IFNULL(%1,0)").arg(c);
    for (const QString& c : schema::DeductionColumns())
        deductions << QStringLiteral("IFNULL(%1,0)").arg(c);
    const QString yf = earnings.join(QLatin1Char('+'));
    const QString kk = deductions.join(QLatin1Char('+'));
    conn.execute(QStringLiteral("Update TGZ Set YFTotal=%1,KKTotal=%2,GZTotal=%1-(%2) where GZMonth=?").arg(yf, kk), {month});
}

QString ImportSummary(const ImportResult& result)
{
    QString text = QStringLiteral("导入数据结束！\n共导入%1条，跳过%2条").arg(result.imported).arg(result.skipped);
    if (result.skipped == 0)
        return text + QStringLiteral("。");
    QStringList rows;
    for (int i = 0; i < result.skippedRows.size() && i < kSkippedListed; ++i)
        rows << QString::number(result.skippedRows[i]);
    text += QStringLiteral("（Excel表中第%1行").arg(rows.join(QStringLiteral("、")));
    if (result.skippedRows.size() > kSkippedListed)
        text += QStringLiteral("…");
    return text + QStringLiteral("）。");
}

} // namespace spreadsheet
