#include "updater/uServerUpdate.h"

#include "platform/ui/Application.h"
#include "platform/ui/Ui.h"

int main(int argc, char** argv)
{
    ui::Application app(argc, argv);
    ui::SetApplicationTitle(kUpdaterTitle);
    TfrmServerUpdate window;
    window.show();
    return window.ended() ? 0 : app.exec();
}
