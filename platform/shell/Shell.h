#pragma once
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace shell {

// The desktop's way of opening things. Each call returns false when nothing could open
// it (no such program, no program for the document); what the opened program does later
// is its own.
class Shell {
public:
    virtual ~Shell() = default;
    // A web address or a local file, with the desktop's default program.
    virtual bool openUrl(const QString& address) = 0;
    // Starts a program (detached), opens a document or shows a folder; "calc" starts the
    // desktop's calculator.
    virtual bool runFile(const QString& file, const QString& parameters) = 0;
    // Whether the desktop has a spreadsheet program to open workbooks with.
    virtual bool hasSpreadsheetProgram() = 0;
};

// The shell in force; the desktop's unless a test put another in place.
Shell& current();
// Puts a shell in force (nullptr: the desktop's again). The caller keeps ownership.
void setCurrent(Shell* shell);

class DesktopShell : public Shell {
public:
    bool openUrl(const QString& address) override;
    bool runFile(const QString& file, const QString& parameters) override;
    bool hasSpreadsheetProgram() override;
};

// Records what would be opened or started, and opens nothing.
class RecordingShell : public Shell {
public:
    bool openUrl(const QString& address) override
    {
        opened.push_back(address);
        return !fails;
    }
    bool runFile(const QString& file, const QString& parameters) override
    {
        started.emplace_back(file, parameters);
        return !fails;
    }

    bool hasSpreadsheetProgram() override { return !fails; }

    bool fails = false; // as a desktop without the programs would answer
    QStringList opened;
    std::vector<std::pair<QString, QString>> started;
};

// Puts a shell in force for one scope.
class ScopedShell {
public:
    explicit ScopedShell(Shell& s) { setCurrent(&s); }
    ~ScopedShell() { setCurrent(nullptr); }
    ScopedShell(const ScopedShell&) = delete;
    ScopedShell& operator=(const ScopedShell&) = delete;
};

// The first calculator program installed among the usual ones; empty when none.
QString findCalculator();

} // namespace shell
