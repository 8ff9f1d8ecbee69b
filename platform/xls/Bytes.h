#pragma once
#include "platform/xls/XlsError.h"

#include <QByteArray>

#include <cstring>

namespace xls {

// Little-endian reads that refuse to run past the end of their data.
inline quint32 readU(const QByteArray& b, qsizetype pos, int size)
{
    if (pos < 0 || size < 0 || pos + size > b.size())
        throw XlsError(QStringLiteral("Truncated data at offset %1").arg(pos));
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | quint8(b[pos + i]);
    return v;
}
inline quint8 u8(const QByteArray& b, qsizetype pos) { return quint8(readU(b, pos, 1)); }
inline quint16 u16(const QByteArray& b, qsizetype pos) { return quint16(readU(b, pos, 2)); }
inline quint32 u32(const QByteArray& b, qsizetype pos) { return readU(b, pos, 4); }
inline double f64(const QByteArray& b, qsizetype pos)
{
    if (pos < 0 || pos + 8 > b.size())
        throw XlsError(QStringLiteral("Truncated number at offset %1").arg(pos));
    double d;
    std::memcpy(&d, b.constData() + pos, 8);
    return d;
}

inline void put16(QByteArray& b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
inline void put32(QByteArray& b, quint32 v) { put16(b, quint16(v & 0xFFFF)); put16(b, quint16(v >> 16)); }
inline void putF64(QByteArray& b, double d)
{
    char raw[8];
    std::memcpy(raw, &d, 8);
    b.append(raw, 8);
}
inline void set16(QByteArray& b, qsizetype pos, quint16 v)
{
    b[pos] = char(v & 0xFF);
    b[pos + 1] = char(v >> 8);
}
inline void set32(QByteArray& b, qsizetype pos, quint32 v)
{
    set16(b, pos, quint16(v & 0xFFFF));
    set16(b, pos + 2, quint16(v >> 16));
}

} // namespace xls
