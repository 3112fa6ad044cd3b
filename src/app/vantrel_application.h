#pragma once
// The application object. Qt does not let exceptions cross its event loop, so
// every event is dispatched under a guard: an exception that escapes a
// command or an event handler is shown in the exception box, and the program
// goes on with the next event.
#include "platform/desktop_services.h"
#include "platform/transient_settings.h"

#include <QApplication>

namespace vantrel::app {

class VantrelApplication : public QApplication {
    Q_OBJECT
public:
    static constexpr const char* Title = "Vantrel";

    VantrelApplication(int& argc, char** argv, platform::MessageBoxes& exceptionBoxes);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception being handled in the exception box; call it only
    // from inside a catch block.
    void ShowCurrentException();

private:
    platform::MessageBoxes& exceptionBoxes_;
    // Nothing is kept between starts, not even what the toolkit's dialogs
    // would like to remember.
    platform::TransientSettings transientSettings_;
};

} // namespace vantrel::app
