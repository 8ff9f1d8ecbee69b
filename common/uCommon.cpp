#include "common/uCommon.h"
#include "common/Text.h"

#include "platform/shell/Shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>

QString NormalizeNumText(const QString& text)
{
    QString s = text;
    s.remove(QLatin1Char(' '));
    if (s == QLatin1String(".") || s == QLatin1String(".0"))
        s = QStringLiteral("0.0");
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s.isEmpty())
        s = QStringLiteral("0");
    return s;
}

QString PadRightSpaces(const QString& text, int width)
{
    const int len = GbkLength(text);
    if (width < len + 1)
        return text;
    return text + QString(width - len, QLatin1Char(' '));
}

QString PadLeftZeros(const QString& text, int width)
{
    const int len = GbkLength(text);
    if (width < len + 1)
        return text;
    return QString(width - len, QLatin1Char('0')) + text;
}

int CountSubStr(const QString& part, const QString& text)
{
    if (part.isEmpty())
        return 0;
    int count = 0;
    qsizetype from = 0;
    while ((from = text.indexOf(part, from)) >= 0) {
        ++count;
        from += part.size();
    }
    return count;
}

void CopyFileData(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Cannot open file \"%1\": %2").arg(source, in.errorString()));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw FileError(QStringLiteral("Cannot create file \"%1\": %2").arg(target, out.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFile::NoError)
            throw FileError(QStringLiteral("Cannot read file \"%1\": %2").arg(source, in.errorString()));
        if (out.write(chunk) != chunk.size())
            throw FileError(QStringLiteral("Cannot write file \"%1\": %2").arg(target, out.errorString()));
    }
    if (!out.commit())
        throw FileError(QStringLiteral("Cannot write file \"%1\": %2").arg(target, out.errorString()));
}

void DeleteFolderFiles(const QString& folder)
{
    QDir dir(folder);
    const auto entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& e : entries) {
        if (e.isDir() && !e.isSymLink())
            DeleteFolderFiles(folder + e.fileName() + QLatin1Char('/'));
        else
            QFile::remove(e.absoluteFilePath()); // a file that cannot go stays, as promised
    }
}

bool OpenInBrowser(const QString& address)
{
    return shell::current().openUrl(address);
}

bool RunFile(const QString& file, const QString& parameters)
{
    return shell::current().runFile(file, parameters);
}

QString CannotOpenMessage(const QString& what)
{
    return QStringLiteral("无法打开“%1”：系统中没有可以打开它的程序！").arg(what);
}

void WaitWithMessages(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() <= ms)
        QCoreApplication::processEvents();
}
