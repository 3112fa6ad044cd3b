// Program entry: the application titled "Vantrel", its one window, and the
// message loop until that window closes.
#include "app/vantrel_application.h"
#include "platform/closing_signals.h"
#include "platform/qt_desktop_services.h"
#include "ui/main_form.h"

int main(int argc, char** argv)
{
    // Before the application makes its temporary settings folder.
    vantrel::platform::ClosingSignals::Catch();
    vantrel::platform::QtDesktop desktop;
    vantrel::app::VantrelApplication application(argc, argv, desktop.messages);
    try {
        vantrel::ui::TMain_form Main_form(desktop.Services());
        desktop.messages.SetOwner(&Main_form);
        new vantrel::platform::ClosingSignals(Main_form);
        Main_form.show();
        application.exec();
    } catch (...) {
        // Start-up or the loop itself failed: say so, and end as a normal close.
        application.ShowCurrentException();
    }
    return 0;
}
