#include "maintenance/Clear.h"

#include "common/uCommon.h"
#include "platform/db/Connection.h"

namespace maintenance {

QStringList ClearingStatements()
{
    return {QStringLiteral("Delete from TGZMonth"), QStringLiteral("Delete from TGZ")};
}

void ClearPayData(db::Connection& conn, const QStringList& statements)
{
    db::Transaction tx(conn);
    for (const QString& sql : statements)
        conn.execute(sql);
    tx.commit();
}

void ClearContractFiles(const QString& programFolder)
{
    DeleteFolderFiles(programFolder + QStringLiteral("DB/ContractFile/"));
}

} // namespace maintenance
