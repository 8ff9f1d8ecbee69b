#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>

// Text in the system's code page (GBK) and the display formats of amounts and times.

QByteArray ToGbk(const QString& text);
QString FromGbk(const QByteArray& bytes);
// Byte length in GBK: an ASCII character counts 1, a Chinese character 2.
int GbkLength(const QString& text);
// Refuses a text longer than its column, naming the field and its limit in GBK bytes.
QString TooLongMessage(const QString& field, int bytes);

inline const QString kWholeFormat = QStringLiteral("0");
inline const QString kDecimalFormat = QStringLiteral("0.00");
inline const QString kCountFormat = QStringLiteral("0条");
inline const QString kLogTimeFormat = QStringLiteral("yy-MM-dd hh:nn");

// "0.00" when amounts show decimals (the start-up setting), else "0".
QString AmountFormat();
QString AmountFormatFor(int showFloat);

// Number pictures "0", "0.00", "0条": rounding half away from zero on the decimal value.
QString FormatFloat(double value, const QString& format);
QString FormatDateTime(const QDateTime& value, const QString& format);
double RoundTo(double value, int decimals);
