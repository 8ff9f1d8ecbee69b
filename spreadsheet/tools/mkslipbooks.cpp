// Writes the delivered payslip template workbooks: mkslipbooks FOLDER
#include "spreadsheet/PayslipTemplates.h"

#include "platform/error/SlipError.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: mkslipbooks FOLDER\n";
        return 2;
    }
    QDir().mkpath(args[1]);
    try {
        for (const payitems::TemplateLayout& layout : payitems::TemplateLayouts())
            spreadsheet::WritePayslipTemplate(QDir(args[1]).filePath(layout.stem + QStringLiteral(".xls")), layout);
    } catch (const slip::Error& e) {
        err << "mkslipbooks: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
