// Writes the delivered payslip strip templates: mkstrips FOLDER
#include "printing/StripTemplates.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // texts are measured with fonts, no window opens
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (args.size() != 2) {
        err << "usage: mkstrips FOLDER\n";
        return 2;
    }
    QDir().mkpath(args[1]);
    try {
        for (const payitems::TemplateLayout& layout : payitems::TemplateLayouts())
            printing::BuildStripTemplate(layout).save(QDir(args[1]).filePath(layout.stem + QStringLiteral(".RAV")));
    } catch (const slip::Error& e) {
        err << "mkstrips: " << e.message() << "\n";
        return 1;
    }
    return 0;
}
