#include "platform/db/DisplayFormat.h"

#include <QRegularExpression>

#include <cmath>

namespace db {

namespace {

// The decimal digits of |value| rounded to `decimals` places: integer part and fraction.
struct Digits {
    bool negative = false;
    QString integer;  // no leading zeros; empty when the integer part is 0
    QString fraction; // exactly `decimals` digits
};

// The usual case without decimal strings: a value whose scaled fraction is clearly on
// one side of the half rounds the same in binary as in its 15 decimal digits.
bool quickDigits(double a, int decimals, Digits& d)
{
    static constexpr double kPowers[] = {1, 10, 100, 1000, 10000};
    if (decimals < 0 || decimals > 4 || !(a < 1e12))
        return false;
    const double scaled = a * kPowers[decimals];
    const double whole = std::floor(scaled);
    const double frac = scaled - whole;
    if (std::fabs(frac - 0.5) <= std::max(1e-9, scaled * 1e-13))
        return false;
    const qint64 r = qint64(whole) + (frac > 0.5 ? 1 : 0);
    const qint64 unit = qint64(kPowers[decimals]);
    const qint64 integer = r / unit;
    d.integer = integer == 0 ? QString() : QString::number(integer);
    d.fraction = decimals == 0 ? QString() : QString::number(r % unit).rightJustified(decimals, QLatin1Char('0'));
    if (r == 0)
        d.negative = false; // no "-0"
    return true;
}

Digits roundedDigits(double value, int decimals)
{
    Digits d;
    d.negative = std::signbit(value);
    const double a = std::fabs(value);
    if (quickDigits(a, decimals, d))
        return d;
    // 15 significant digits: the decimal value the operator typed or the engine stored.
    const QString e = QString::number(a, 'e', 14);
    const qsizetype ePos = e.indexOf(QLatin1Char('e'));
    QString digits = e.left(1) + e.mid(2, ePos - 2);
    int point = e.mid(ePos + 1).toInt() + 1;
    if (point <= 0) {
        digits = QString(1 - point, QLatin1Char('0')) + digits;
        point = 1;
    }
    const int keep = point + decimals;
    if (digits.size() <= keep)
        digits += QString(keep + 1 - digits.size(), QLatin1Char('0'));
    const bool roundUp = digits.at(keep) >= QLatin1Char('5');
    digits.truncate(keep);
    if (roundUp) {
        int i = keep - 1;
        for (; i >= 0; --i) {
            if (digits[i] == QLatin1Char('9')) {
                digits[i] = QLatin1Char('0');
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            digits.prepend(QLatin1Char('1'));
            ++point;
        }
    }
    d.integer = digits.left(point);
    while (d.integer.startsWith(QLatin1Char('0')))
        d.integer.remove(0, 1);
    d.fraction = digits.mid(point);
    if (d.integer.isEmpty() && !d.fraction.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        d.negative = false; // no "-0"
    return d;
}

struct Picture {
    QString prefix, suffix;
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    bool thousands = false;
};

bool isPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(',');
}

Picture parsePicture(const QString& format)
{
    Picture p;
    bool seenPlaceholder = false, inFraction = false, done = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char(';'))
            break; // only the first section is used
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = format.indexOf(c, i + 1);
            const QString lit = format.mid(i + 1, (end < 0 ? format.size() : end) - i - 1);
            (seenPlaceholder ? p.suffix : p.prefix) += lit;
            if (seenPlaceholder)
                done = true;
            i = end < 0 ? format.size() : end;
            continue;
        }
        if (isPlaceholder(c) && !done) {
            seenPlaceholder = true;
            if (c == QLatin1Char('.')) {
                inFraction = true;
            } else if (c == QLatin1Char(',')) {
                p.thousands = true;
            } else if (inFraction) {
                ++p.maxFrac;
                if (c == QLatin1Char('0'))
                    p.minFrac = p.maxFrac;
            } else if (c == QLatin1Char('0')) {
                ++p.minInt;
            }
            continue;
        }
        if (seenPlaceholder) {
            done = true;
            p.suffix += c;
        } else {
            p.prefix += c;
        }
    }
    return p;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits.at(i);
    }
    return out;
}

} // namespace

double roundHalfAway(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    const Digits d = roundedDigits(value, decimals);
    QString text = (d.negative ? QStringLiteral("-") : QString()) + (d.integer.isEmpty() ? QStringLiteral("0") : d.integer);
    if (!d.fraction.isEmpty())
        text += QLatin1Char('.') + d.fraction;
    return text.toDouble();
}

QString formatFloat(double value, const QString& format)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN") : (value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF"));
    if (format.isEmpty())
        return generalNumberText(value);
    const Picture p = parsePicture(format);
    const Digits d = roundedDigits(value, p.maxFrac);
    QString integer = d.integer;
    if (integer.size() < p.minInt)
        integer = QString(p.minInt - integer.size(), QLatin1Char('0')) + integer;
    if (p.thousands)
        integer = groupThousands(integer);
    QString fraction = d.fraction;
    while (fraction.size() > p.minFrac && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString number = integer;
    if (!fraction.isEmpty())
        number += QLatin1Char('.') + fraction;
    if (number.isEmpty())
        number = QStringLiteral("0");
    return p.prefix + (d.negative ? QStringLiteral("-") : QString()) + number + p.suffix;
}

QString formatDateTime(const QDateTime& value, const QString& format)
{
    const QDate date = value.date();
    const QTime time = value.time();
    QString out;
    bool afterHour = false;
    auto run = [&format](qsizetype i) {
        qsizetype n = 1;
        while (i + n < format.size() && format.at(i + n).toLower() == format.at(i).toLower())
            ++n;
        return n;
    };
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i).toLower();
        const qsizetype n = run(i);
        if (c == QLatin1Char('y')) {
            out += n >= 4 ? QString::number(date.year()) : two(date.year() % 100);
        } else if (c == QLatin1Char('m')) {
            const int v = afterHour ? time.minute() : date.month();
            out += n >= 2 ? two(v) : QString::number(v);
            afterHour = false;
        } else if (c == QLatin1Char('d')) {
            out += n >= 2 ? two(date.day()) : QString::number(date.day());
        } else if (c == QLatin1Char('h')) {
            out += n >= 2 ? two(time.hour()) : QString::number(time.hour());
            afterHour = true;
        } else if (c == QLatin1Char('n')) {
            out += n >= 2 ? two(time.minute()) : QString::number(time.minute());
            afterHour = false;
        } else if (c == QLatin1Char('s')) {
            out += n >= 2 ? two(time.second()) : QString::number(time.second());
        } else {
            out += format.mid(i, n);
        }
        i += n;
    }
    return out;
}

QString generalNumberText(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    return QString::number(value, 'g', 15);
}

} // namespace db
