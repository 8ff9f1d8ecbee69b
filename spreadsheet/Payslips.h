#pragma once
#include "payitems/ItemSet.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace db {
class Connection;
}

namespace spreadsheet {

struct Replacement {
    QString placeholder;
    QString text;
};

// A pay row's stored values by TGZ field name in capitals ("EMPNAME", "GZ1").
using PayValues = QHash<QString, QVariant>;

// What an electronic payslip replaces, in order: company, name, month, days, day rate,
// sequence number, the three totals, then each item's caption and amount ("-" and "-" for
// a disabled item). Amounts use amountFormat; an empty amount counts 0.
std::vector<Replacement> PayslipReplacements(const PayValues& row, const std::vector<payitems::PayItem>& items,
                                             const QString& company, const QString& month, int sequence,
                                             const QString& amountFormat);

// Applies the replacements to cell texts, one pass each in order: the first occurrence in
// each cell is replaced; an empty or blank text becomes "-".
void ApplyReplacements(QStringList& cells, const std::vector<Replacement>& replacements);

// "0001_Name.xls": the sequence number in four digits and the name, with characters that
// cannot stand in a file name ("/", NUL) as "_".
QString PayslipFileName(int sequence, const QString& name);

struct PayslipRun {
    int written = 0;
    QStringList failed; // file names that could not be written
};

// Writes one workbook per pay row of the month, in department and name order, from the
// template's Sheet1 read once. Progress is told after each file. Throws db::DbError when
// the item set cannot be read (nothing is written then). A pay row whose file cannot be
// written (the template unreadable included) is counted in `failed` and the next one
// follows; pay rows that cannot be read give an empty run.
PayslipRun WritePayslips(db::Connection& conn, const QString& month, const QString& templatePath,
                         const QString& folder, const QString& company, const QString& amountFormat,
                         const std::function<void(int done, int total)>& progress = {});

inline const QString kPayslipSheet = QStringLiteral("Sheet1$");

} // namespace spreadsheet
