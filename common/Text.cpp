#include "common/Text.h"
#include "common/StartValues.h"

#include "platform/db/DisplayFormat.h"
#include "platform/db/TextOrder.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray ToGbk(const QString& text)
{
    QStringEncoder enc("GBK");
    return enc(text);
}

QString FromGbk(const QByteArray& bytes)
{
    QStringDecoder dec("GBK");
    return dec(bytes);
}

int GbkLength(const QString& text)
{
    return db::gbkLength(text);
}

QString TooLongMessage(const QString& field, int bytes)
{
    return QStringLiteral("“%1”太长：最多%2个字节（一个汉字占2个字节），请缩短后再保存！").arg(field).arg(bytes);
}

QString AmountFormatFor(int showFloat)
{
    return showFloat != 0 ? kDecimalFormat : kWholeFormat;
}

QString AmountFormat()
{
    return AmountFormatFor(startValues().showFloat);
}

QString FormatFloat(double value, const QString& format)
{
    return db::formatFloat(value, format);
}

QString FormatDateTime(const QDateTime& value, const QString& format)
{
    return db::formatDateTime(value, format);
}

double RoundTo(double value, int decimals)
{
    return db::roundHalfAway(value, decimals);
}
