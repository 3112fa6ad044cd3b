// Widget tests need one QApplication for the whole process, created before
// any test constructs a widget, and the same font the program uses so that
// text metrics in pixel checks match what a user sees.
#include <QApplication>
#include "platform/app_font.h"
#include "private_home.h"
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const vantrel::testing::PrivateHome home;
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setFont(vantrel::platform::ApplicationFont());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
