// Prints a workbook's sheet names, then each row of one sheet (the first by default) as
// tab-separated cell texts, exactly as the importer sees them: xlsdump FILE [SHEET]
#include "platform/xls/XlsTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2 || args.size() > 3) {
        err << "usage: xlsdump FILE [SHEET]\n";
        return 2;
    }
    try {
        const auto loaded = xls::LoadedWorkbook::read(args.at(1));
        const xls::Workbook& book = loaded->book;
        QStringList sheets;
        for (int i = 0; i < book.sheetCount(); ++i)
            sheets << book.sheet(i).name;
        out << "sheets: " << sheets.join(QStringLiteral(", ")) << "\n";
        if (book.sheetCount() == 0)
            return 0;
        const QString sheet = args.size() == 3 ? args.at(2) : sheets.first();
        xls::XlsTable table = xls::XlsTable::open(loaded, sheet + QLatin1Char('$'));
        out << table.columnNames().join(QLatin1Char('\t')) << "\n";
        // Rows gathered as UTF-8 and written in large blocks.
        out.flush();
        QByteArray block;
        QFile stdoutFile;
        stdoutFile.open(stdout, QIODevice::WriteOnly);
        QString line;
        for (table.first(); !table.eof(); table.next()) {
            line.clear();
            for (int c = 0; c < table.columnCount(); ++c) {
                if (c > 0)
                    line += QLatin1Char('\t');
                line += table.value(c);
            }
            line += QLatin1Char('\n');
            block += line.toUtf8();
            if (block.size() > (1 << 20)) {
                stdoutFile.write(block);
                block.clear();
            }
        }
        stdoutFile.write(block);
    } catch (const xls::XlsError& e) {
        err << "xlsdump: " << args.at(1) << ": " << e.message() << "\n";
        return 1;
    }
    return 0;
}
