// Writes the delivered database file: mkzydb PATH
#include "data/Schema.h"

#include "platform/db/DbError.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        QTextStream(stderr) << "usage: mkzydb PATH\n";
        return 2;
    }
    try {
        schema::BuildDeliveredDatabase(args.at(1));
    } catch (const db::DbError& e) {
        QTextStream(stderr) << "mkzydb: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
