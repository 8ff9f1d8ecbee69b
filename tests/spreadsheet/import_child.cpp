// import_child PROGRAMFOLDER FILE MONTH: imports the first sheet into the month, saying
// "started" once 1,000 rows are stored and then slowing down so a test can kill it.
#include "data/uDM.h"
#include "spreadsheet/Import.h"
#include "platform/xls/XlsTable.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    TDM dm;
    if (args.size() != 4 || !dm.ConnectTo(args[1]))
        return 2;
    xls::XlsConnection source;
    source.open(spreadsheet::SourceConnectionString(args[2]));
    auto table = source.openTable(source.tableNames().first());
    auto rows = spreadsheet::ParseFieldList(QStringLiteral("部门 DepartName CHAR N N\r\n姓名 EmpName CHAR N N\r\n"));
    spreadsheet::MatchAutomatically(rows, *table);
    spreadsheet::ImportRows(dm.ADOLocal, *table, rows, args[3], QDateTime::currentDateTime(), [](int done, int) {
        if (done >= 1000) {
            std::printf("started\n");
            std::fflush(stdout);
            QThread::msleep(50);
        }
    });
    return 0;
}
