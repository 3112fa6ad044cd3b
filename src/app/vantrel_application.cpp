#include "app/vantrel_application.h"

#include "platform/app_font.h"
#include "platform/exception_box.h"
#include "ui/control_look.h"
#include "ui/glyphs.h"
#include "ui/hint.h"
#include "ui/window_accessible.h"

#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>

namespace vantrel::app {

VantrelApplication::VantrelApplication(int& argc, char** argv, platform::MessageBoxes& exceptionBoxes)
    : QApplication(argc, argv)
    , exceptionBoxes_(exceptionBoxes)
{
    // The title is the application's name, not a display name: Qt appends a
    // display name to every window's caption, and the captions must read
    // exactly as given ("Vantrel 1.6", "Error").
    setApplicationName(QString::fromLatin1(Title));
    setApplicationVersion(QStringLiteral("1.6"));
    setDesktopFileName(QStringLiteral("vantrel"));
    setFont(platform::ApplicationFont());
    setStyle(ui::CreateHintStyle(QStyleFactory::create(ui::DrawingStyleName(*style()))));
    setWindowIcon(QPixmap::fromImage(ui::glyphs::WindowIcon()));
    ui::InstallAccessibleInterfaces();
}

bool VantrelApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

void VantrelApplication::ShowCurrentException()
{
    exceptionBoxes_.ShowException(platform::ExceptionBoxText(platform::ExceptionMessage(std::current_exception())));
}

} // namespace vantrel::app
