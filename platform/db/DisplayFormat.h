#pragma once
#include <QDateTime>
#include <QString>

namespace db {

// Formats a number with a picture of "0" (digit), "#" (optional digit), "." and ","
// placeholders; other characters are copied ("0条"). Rounds half away from zero on the
// number's decimal value (15 significant digits), so 2.675 with "0.00" gives "2.68".
QString formatFloat(double value, const QString& format);

// Formats a date and time with the tokens yyyy, yy, mm/m (month, minutes after an hour),
// dd/d, hh/h, nn/n, ss/s, letters matched without regard to case; other characters copied.
QString formatDateTime(const QDateTime& value, const QString& format);

// Rounds half away from zero to the given decimals on the decimal value.
double roundHalfAway(double value, int decimals);

// General number text: up to 15 significant digits, point separator ("296.78", "0", "3").
QString generalNumberText(double value);

} // namespace db
