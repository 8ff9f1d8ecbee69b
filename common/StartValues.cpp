#include "common/StartValues.h"

#include <QCoreApplication>

StartValues& startValues()
{
    static StartValues values;
    return values;
}

QString ExecutableFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString ProgramPath(const QString& tail)
{
    return startValues().programFolder + tail;
}
