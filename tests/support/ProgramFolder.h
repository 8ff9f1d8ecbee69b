#pragma once
#include <QString>
#include <QTemporaryDir>

class TDM;

// A fresh program folder in a temporary directory, with the delivered database, IIS.INI
// and help page copied in; the start-up values are reset and point at it. The clock a
// test fixed stays fixed until the folder goes.
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();

    // The folder with a trailing "/".
    QString path() const;
    QString file(const QString& tail) const { return path() + tail; }
    QString databaseFile() const;
    // A TDM connected to this folder's database; QFAIL-worthy when it cannot connect.
    bool connect(TDM& dm) const;
    void writeFile(const QString& tail, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};
