#include "data/uDM.h"
#include "data/Schema.h"

#include "common/StartValues.h"

TDM::TDM(QObject* parent)
    : QObject(parent)
{
    dsPara.setSql(QStringLiteral("select * from TPara"));
    dsPara.setLockType(db::LockType::BatchOptimistic);
}

TDM::~TDM()
{
    ADOLocal.close();
}

bool TDM::DataModuleCreate()
{
    startValues().programFolder = ExecutableFolder();
    return ConnectTo(startValues().programFolder);
}

bool TDM::ConnectTo(const QString& programFolder)
{
    m_connectError.clear();
    m_newerDatabase = false;
    try {
        ADOLocal.open(schema::ConnectionStringFor(programFolder), schema::kSchemaVersion);
        // A database of another program opens too; ours has the parameters table.
        ADOLocal.execute(QStringLiteral("select count(*) from TPara"));
        schema::UpgradeDatabase(ADOLocal);
        return true;
    } catch (const db::DbError& e) {
        m_newerDatabase = dynamic_cast<const db::NewerDatabaseError*>(&e) != nullptr;
        ADOLocal.close();
        m_connectError = e.message();
        return false;
    }
}

QString TDM::GetDataBySQL(const QString& sql, const QVariantList& params)
{
    QString result;
    dsQuery.close();
    try {
        dsQuery.setSql(sql, params);
        dsQuery.open();
        if (!dsQuery.eof())
            result = dsQuery.field(0).asString();
    } catch (const db::DbError&) {
        // Query functions report no errors: empty text is the answer.
    }
    return result;
}

void TDM::GetDataBySQLToItems(const QString& sql, QStringList& items, bool clearFirst, const QVariantList& params)
{
    dsQuery.close();
    try {
        dsQuery.setSql(sql, params);
        dsQuery.open();
    } catch (const db::DbError&) {
        return; // the list stays as it was
    }
    if (clearFirst)
        items.clear();
    try {
        for (dsQuery.first(); !dsQuery.eof(); dsQuery.next()) {
            const QString v = dsQuery.field(0).asString();
            if (!v.isEmpty())
                items << v;
        }
    } catch (const db::DbError&) {
        // What was added stays; the loop just ends.
    }
}
