#pragma once
#include "data/uDM.h"
#include "payitems/uGZSetEdit.h"
#include "platform/db/RecordSet.h"
#include "platform/ui/Ui.h"
#include "settings/uPassInput.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

// Scripted operators for the dialogs several test folders meet.

// The next password prompt: types the answer, then closes with OK or the close box; can
// note whether the sheet was closed behind it.
inline void answerPrompt(ui::ScriptedUi& ui, const QString& typed, bool ok = true, bool* sheetHidden = nullptr,
                         db::RecordSet* sheet = nullptr)
{
    ui.answerDialog([=](QDialog& d) {
        auto& prompt = dynamic_cast<TfrmPassInput&>(d);
        if (sheetHidden && sheet)
            *sheetHidden = !sheet->isOpen();
        prompt.EditPass->setText(typed);
        (ok ? prompt.cmdEnsure : prompt.cmdCancel)->click();
        return d.result();
    });
}

// The next item editor: a new caption and state, then save or cancel.
inline void answerItem(ui::ScriptedUi& ui, const QString& name, int state, bool save = true)
{
    ui.answerDialog([=](QDialog& d) {
        auto& dlg = dynamic_cast<TfrmGZSetEdit&>(d);
        dlg.EditName->setText(name);
        dlg.cmbUseStu->setCurrentIndex(state);
        (save ? dlg.cmdSH : dlg.cmdCancel)->click();
        return d.result();
    });
}

// Every insert of items for the month fails from now on, as on a full disk.
inline void failWritesOf(TDM& dm, const QString& month)
{
    dm.ADOLocal.execute(QStringLiteral("create trigger failing before insert on TGZSet when NEW.GZMonth='%1' "
                                       "begin select raise(abort, 'disk full'); end")
                            .arg(month));
}
