#pragma once
#include "platform/db/RecordSet.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTableView;
class TDM;
namespace grid {
class RecordSetModel;
}

// The item set of one month (or BASE): captions and states of its earnings and deduction
// items, edited in memory and stored together on save.
class TfrmGZBaseSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGZBaseSet(TDM& dm, QWidget* parent = nullptr);

    // Loads the month's lists (BASE's when the month has no earnings items); false after
    // "读取数据库发生错误！".
    bool ReadyData(const QString& month);
    // Writes every pending edit of both lists at once; false after "存储数据发生错误！".
    bool SaveData();
    // Edits the current item of a list through the item editor.
    void EditItem(db::RecordSet& list);
    void cmdSHClick();

    QLineEdit* EditGZMonth;
    QTableView* gridGZ;
    QTableView* gridKK;
    QPushButton* cmdEditGZ;
    QPushButton* cmdEditKK;
    QPushButton* cmdSH;
    QPushButton* cmdCancel;
    db::RecordSet dsGZ;
    db::RecordSet dsKK;

private:
    QTableView* makeList(db::RecordSet& rs, grid::RecordSetModel*& model);

    grid::RecordSetModel* m_gzModel = nullptr;
    grid::RecordSetModel* m_kkModel = nullptr;
    TDM& m_dm;
};

// Opens the item set dialog for a month; true when the operator saved.
bool ShowGZBaseSet(TDM& dm, const QString& month, QWidget* parent = nullptr);

