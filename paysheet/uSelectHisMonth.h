#pragma once
#include "platform/db/RecordSet.h"

#include <QDialog>

class QPushButton;
class QTableView;
class TDM;

// Picks a history month: every month name that has pay rows, descending as text.
class TfrmSelectHisMonth : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectHisMonth(TDM& dm, QWidget* parent = nullptr);
    // False after "读取数据库发生错误！".
    bool ReadyData();
    void cmdSelectClick();
    QString chosenMonth() const { return m_chosen; }

    QTableView* gridMonths;
    QPushButton* cmdSelect;
    QPushButton* cmdCancel;
    db::RecordSet dsHisMonth;

private:
    QString m_chosen;
};

// True and the chosen month when the operator picked one.
bool SelectHisMonth(TDM& dm, QString& month, QWidget* parent = nullptr);
