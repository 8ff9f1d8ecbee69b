#include "tests/support/ProgramFolder.h"
#include "TestPaths.h"

#include "common/Clock.h"
#include "data/Schema.h"
#include "common/StartValues.h"
#include "data/uDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {

void copyInto(const QString& from, const QString& to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    if (!QFile::copy(from, to))
        throw std::runtime_error((QStringLiteral("cannot copy ") + from + QStringLiteral(" to ") + to).toStdString());
    QFile(to).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

ProgramFolder::ProgramFolder()
{
    const QString stage = QStringLiteral(SLIP_STAGE_DIR) + QLatin1Char('/');
    copyInto(QStringLiteral(SLIP_DELIVERED_DB), databaseFile());
    copyInto(stage + QStringLiteral("IIS.INI"), file(QStringLiteral("IIS.INI")));
    copyInto(stage + QStringLiteral("Help/WrenGZ.htm"), file(QStringLiteral("Help/WrenGZ.htm")));
    QDir().mkpath(file(QStringLiteral("Bak")));
    for (const QString& name : QDir(stage + QStringLiteral("RPT")).entryList(QDir::Files))
        copyInto(stage + QStringLiteral("RPT/") + name, file(QStringLiteral("RPT/") + name));
    startValues() = StartValues{};
    startValues().programFolder = path();
}

ProgramFolder::~ProgramFolder()
{
    startValues() = StartValues{};
    Clock::reset();
}

QString ProgramFolder::path() const
{
    return m_dir.path() + QLatin1Char('/');
}

QString ProgramFolder::databaseFile() const
{
    return file(schema::kDatabaseFile);
}

bool ProgramFolder::connect(TDM& dm) const
{
    return dm.ConnectTo(path());
}

void ProgramFolder::writeFile(const QString& tail, const QByteArray& bytes) const
{
    QDir().mkpath(QFileInfo(file(tail)).absolutePath());
    QFile f(file(tail));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}
