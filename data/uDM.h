#pragma once
#include "platform/db/Connection.h"
#include "platform/db/RecordSet.h"

#include <QObject>
#include <QStringList>

// The database service: the program's one connection and its query functions.
class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    // Takes the executable's folder as program folder and connects. False when connecting
    // failed (the reason in ConnectError()); the service exists either way.
    bool DataModuleCreate();
    // Connects to the database of the given program folder (ending in "/").
    bool ConnectTo(const QString& programFolder);
    QString ConnectError() const { return m_connectError; }
    // True when the last connect refused a file written by a newer program.
    bool NewerDatabase() const { return m_newerDatabase; }

    // The first column of the first row as text; empty text for null, no rows or any failure.
    QString GetDataBySQL(const QString& sql, const QVariantList& params = {});
    // Adds the non-empty first-column values to items; clears it first (when asked) only
    // once the query has opened. A failing query leaves items as they were.
    void GetDataBySQLToItems(const QString& sql, QStringList& items, bool clearFirst, const QVariantList& params = {});

    db::Connection ADOLocal;
    db::RecordSet dsQuery{ADOLocal};
    db::RecordSet dsPara{ADOLocal};

private:
    QString m_connectError;
    bool m_newerDatabase = false;
};

// The text shown when the database cannot be opened at start.
inline const QString kInstallMessage = QStringLiteral("请确认您的程序是否安装正确，或者没有安装MDAC数据访问组件！");
// The text shown when the database file was written by a newer program.
inline const QString kNewerDatabaseMessage =
    QStringLiteral("数据库文件由更高版本的程序建立，本程序不能使用它。请先升级程序！");
// What the dialogs show when reading or storing fails.
inline const QString kReadDbError = QStringLiteral("读取数据库发生错误！");
inline const QString kStoreDbError = QStringLiteral("存储数据发生错误！");
