#pragma once
#include "tests/support/ProgramFolder.h"

#include "data/uDM.h"
#include "platform/shell/Shell.h"
#include "platform/ui/Ui.h"

#include <QStringList>

// A fresh program folder, its connected database service and scripted dialogs and shell.
struct Session {
    Session() { connected = folder.connect(dm); }

    // Adds a month with a copy of BASE's items; returns its ID.
    qint64 addMonth(const QString& name);
    // Adds a pay row; the amounts map column names ("GZ1", "KKTotal", ...) to values.
    qint64 addRow(const QString& month, const QString& depart, const QString& name,
                  const QList<QPair<QString, double>>& amounts = {});
    // Gives the month all thirty items; those it lacked are added disabled, captioned "项目".
    void completeItemSet(const QString& month);
    // Every value of every row of a table, one text per row, for before/after comparisons.
    QStringList dump(const QString& table, const QString& where = QString());
    // The first column of every row of a query.
    QStringList column(const QString& sql, const QVariantList& params = {});

    ProgramFolder folder;
    TDM dm;
    bool connected = false;
    ui::ScriptedUi ui;
    ui::ScopedUi uiScope{ui};
    shell::RecordingShell shell;
    shell::ScopedShell shellScope{shell};
};
