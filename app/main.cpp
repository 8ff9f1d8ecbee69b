#include "About.h"
#include "uMain.h"

#include <uDM.h>
#include <ui/Ui.h>

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("鹪鹩工资条打印软件"));
    QApplication::setWindowIcon(QIcon(ProductPicture(64)));

    TDM dm;
    if (!dm.DataModuleCreate())
        ui::ShowMessage(kInstallMessage);

    TfrmMainGZT window(dm);
    window.showMaximized();
    return app.exec();
}
