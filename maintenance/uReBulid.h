#pragma once
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;
namespace db {
class Connection;
}

// Clears every pay month and pay row after a warning; the caller ends the program once
// it has cleared.
class TfrmReBulid : public QDialog {
    Q_OBJECT
public:
    TfrmReBulid(db::Connection& conn, const QString& programFolder, QWidget* parent = nullptr);

    void cmdSHClick();
    // Runs the statements of ListSQL, all or none; false after the failure message.
    bool ExecAllSQL();
    // True once the data was cleared.
    bool cleared() const { return m_cleared; }

    QLabel* Memo1;
    QCheckBox* cmkYW;
    QPushButton* cmdSH;
    QPushButton* cmdCancel;
    QStringList ListSQL;

private:
    db::Connection& m_conn;
    QString m_programFolder;
    bool m_cleared = false;
};

// Opens the clearing dialog; true when it cleared the data (the program must end).
bool ShowReBulid(db::Connection& conn, const QString& programFolder, QWidget* parent = nullptr);

inline const QString kClearFailedMessage = QStringLiteral("清除数据发生错误，数据没有被清除！");
