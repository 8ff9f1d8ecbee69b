#include "platform/db/JetSql.h"

#include <QRegularExpression>

namespace db {

QString translateJetSql(const QString& sql)
{
    static const QRegularExpression top(
        QStringLiteral(R"(^(\s*select\s+(?:distinct\s+)?)top\s+(\d+)\s+)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = top.match(sql);
    if (!m.hasMatch())
        return sql;
    QString rest = sql.mid(m.capturedEnd());
    while (rest.endsWith(QLatin1Char(';')) || rest.endsWith(QLatin1Char(' ')))
        rest.chop(1);
    return m.captured(1) + rest + QStringLiteral(" LIMIT ") + m.captured(2);
}

QString tableOfStatement(const QString& sql)
{
    static const QRegularExpression from(
        QStringLiteral(R"(\bfrom\s+\[?([A-Za-z_][A-Za-z0-9_]*)\]?)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = from.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace db
