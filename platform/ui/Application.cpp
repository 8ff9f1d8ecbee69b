#include "platform/ui/Application.h"
#include "platform/ui/Ui.h"

#include "platform/error/SlipError.h"

namespace ui {

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ReportUncaught(e);
        return false;
    }
}

void ReportUncaught(const std::exception& error)
{
    const auto* own = dynamic_cast<const slip::Error*>(&error);
    const QString what = own ? own->message() : QString::fromLocal8Bit(error.what());
    ShowError(QStringLiteral("程序发生错误，当前操作已中止：\n%1").arg(what));
}

} // namespace ui
