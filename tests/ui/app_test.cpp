// The application object's event guard, with a real application instance.
#include "app/vantrel_application.h"
#include "platform/desktop_doubles.h"
#include "ui/speed_button.h"

#include <QAccessible>
#include <QFont>
#include <QIcon>
#include <QStyle>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace vantrel::app {
namespace {

// Throws whatever it is told to from its event handler.
class Thrower : public QObject {
public:
    std::function<void()> onEvent;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User && onEvent)
            onEvent();
        return QObject::event(event);
    }
};

TEST(VantrelApplicationTest, ExceptionsFromEventsReachTheExceptionBoxAndTheLoopGoesOn)
{
    int argc = 1;
    char name[] = "vantrel";
    char* argv[] = {name, nullptr};
    platform::RecordingMessageBoxes boxes;
    VantrelApplication application(argc, argv, boxes);

    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("Vantrel"));
    EXPECT_EQ(QApplication::font().pixelSize(), 11);
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 500);
    {
        // Assistive tools get the program's own descriptions from the start.
        ui::TSpeedButton button;
        button.SetHint(QStringLiteral("Run"));
        QAccessibleInterface* described = QAccessible::queryAccessibleInterface(&button);
        EXPECT_EQ(described->role(), QAccessible::Button);
        EXPECT_EQ(described->text(QAccessible::Name), QStringLiteral("Run"));
    }

    Thrower thrower;
    QEvent userEvent(QEvent::User);

    thrower.onEvent = [] { throw std::runtime_error("Access violation at address 0"); };
    QApplication::sendEvent(&thrower, &userEvent);
    thrower.onEvent = [] { throw std::logic_error("Abstract error!"); };
    QApplication::sendEvent(&thrower, &userEvent);
    thrower.onEvent = [] { throw 7; };
    QApplication::sendEvent(&thrower, &userEvent);

    EXPECT_EQ(boxes.Exceptions(),
              (QStringList{QStringLiteral("Access violation at address 0."), QStringLiteral("Abstract error!"),
                           QString()}));
    EXPECT_TRUE(boxes.Errors().isEmpty());

    // A posted event that throws inside the running loop does not end it.
    bool reachedAfter = false;
    thrower.onEvent = [] { throw std::runtime_error("inside the loop"); };
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTimer::singleShot(0, [&] {
        reachedAfter = true;
        QCoreApplication::quit();
    });
    EXPECT_EQ(application.exec(), 0);
    EXPECT_TRUE(reachedAfter);
    EXPECT_EQ(boxes.Exceptions().value(3), QStringLiteral("inside the loop."));
}

} // namespace
} // namespace vantrel::app
