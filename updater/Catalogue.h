#pragma once
#include <QString>
#include <QStringList>

#include <functional>

namespace db {
class Connection;
}

namespace updater {

// The catalogue entries newer than the installed version and the version they lead to.
struct Selection {
    QStringList entries;   // tag, local name, tab, remote name; each once, last line first
    QString targetVersion; // the greatest version met, or the installed one
};

// Walks the catalogue from its last line to its first: a line whose version (its first
// ten characters) is above the installed one selects its entry once; every line's
// version may raise the target.
Selection SelectEntries(const QStringList& lines, const QString& installedVersion);

// An entry split for download: "[CLIENT]a/b.dll<TAB>b.dll" gives "CLIENT", "a/b.dll", "b.dll".
struct Entry {
    QString tag;
    QString localName;
    QString remoteName;
};
Entry SplitEntry(const QString& entry);

// A local name that stays inside the folder it is put in: relative, without "..".
bool IsSafeLocalName(const QString& localName);

// A text file's lines as GBK text; false when it cannot be read.
bool ReadGbkLines(const QString& path, QStringList& lines);

// Whether a script line separates batches: "GO" in any case, blanks around allowed.
bool IsBatchSeparator(const QString& line);
// The batches of a script's lines, each line followed by CR LF; blank ones dropped.
QStringList SplitBatches(const QStringList& lines);
// Runs a script's batches in order; a failing batch is skipped and the next one runs, an
// unreadable file is skipped. Returns the number of batches that failed.
int ExeASQLFile(db::Connection& conn, const QString& path);

// What applying an update did.
struct ApplyResult {
    QStringList notReplaced; // client files that could not be copied
    QStringList refused;     // entries whose local name would leave the folders
    bool versionWritten = false;
};

// Runs the selected scripts, reconnects, copies the selected client files into the
// program folder and, when every file was replaced, records the target version.
// `reconnect` opens the connection again (its failure is ignored).
ApplyResult ApplyUpdates(db::Connection& conn, const QStringList& entries, const QString& updateFolder,
                         const QString& programFolder, const QString& targetVersion,
                         const std::function<void()>& reconnect, const std::function<void(const QString&)>& status = {});

} // namespace updater
