#include "app/About.h"
#include "app/uMain.h"

#include "data/uDM.h"
#include "platform/ui/Application.h"
#include "platform/ui/Ui.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    ui::SetApplicationTitle(QStringLiteral("鹪鹩工资条打印软件"));
    QApplication::setWindowIcon(QIcon(ProductPicture(64)));

    TDM dm;
    if (!dm.DataModuleCreate())
        ui::ShowError(dm.NewerDatabase() ? kNewerDatabaseMessage : kInstallMessage);

    TfrmMainGZT window(dm);
    // Sized to the screen too, for desktops without a window manager to maximize it.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    return app.exec();
}
