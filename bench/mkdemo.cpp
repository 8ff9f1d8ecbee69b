// Fills the database of a program folder with a month of made-up pay rows, for looking at
// the program with real-looking data: mkdemo FOLDER [ROWS] [MONTH]
#include "bench/BenchData.h"

#include "data/uDM.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() < 2) {
        err << "usage: mkdemo FOLDER [ROWS] [MONTH]\n";
        return 2;
    }
    QString folder = args.at(1);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    TDM dm;
    if (!dm.ConnectTo(folder)) {
        err << "mkdemo: " << dm.ConnectError() << "\n";
        return 1;
    }
    try {
        bench::FillMonth(dm.ADOLocal, args.size() > 3 ? args.at(3) : bench::kMonth, args.size() > 2 ? args.at(2).toInt() : 30);
    } catch (const slip::Error& e) {
        err << "mkdemo: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
