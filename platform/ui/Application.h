#pragma once
#include <QApplication>

#include <exception>

namespace ui {

// The program's application object. An error that no user action caught is shown in a
// generic error box and the program goes on with the next event.
class Application : public QApplication {
public:
    Application(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// The generic error box for an error no action caught.
void ReportUncaught(const std::exception& error);

} // namespace ui
