// The application as the user meets it, on a real X display: the captions
// the window manager receives, the hint pause, the folder browser beside the
// window, the exception guard, and the program started and closed by hand.
#include "app/vantrel_application.h"
#include "grid/next_grid.h"
#include "platform/closing_signals.h"
#include "platform/qt_desktop_services.h"
#include "platform/testing/desktop_doubles.h"
#include "private_home.h"
#include "ui/hint.h"
#include "ui/main_form.h"
#include "ui/nx_edit.h"
#include "ui/speed_button.h"
#include "x_server.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFont>
#include <QIcon>
#include <QPointer>
#include <QProcess>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <QtTest/QTest>
#include <array>
#include <csignal>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

// Readable failure messages for captions.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel::app {
namespace {

using vantrel::testing::CaptionOfModal;
using vantrel::testing::XServer;

platform::RecordingMessageBoxes exceptionBoxes;

TEST(ApplicationTest, ExceptionsFromEventsReachTheExceptionBoxAndTheLoopGoesOn)
{
    exceptionBoxes.Clear();
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
    } thrower;
    QEvent userEvent(QEvent::User);

    thrower.onEvent = [] { throw std::runtime_error("Access violation at address 0"); };
    QApplication::sendEvent(&thrower, &userEvent);
    thrower.onEvent = [] { throw std::logic_error("Abstract error!"); };
    QApplication::sendEvent(&thrower, &userEvent);
    thrower.onEvent = [] { throw 7; };
    QApplication::sendEvent(&thrower, &userEvent);

    EXPECT_EQ(exceptionBoxes.Exceptions(),
              (QStringList{QStringLiteral("Access violation at address 0."), QStringLiteral("Abstract error!"),
                           QString()}));
    EXPECT_TRUE(exceptionBoxes.Errors().isEmpty());

    // A posted event that throws inside the running loop does not end it.
    bool reachedAfter = false;
    thrower.onEvent = [] { throw std::runtime_error("inside the loop"); };
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    QTimer::singleShot(0, [&] {
        reachedAfter = true;
        QCoreApplication::quit();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(reachedAfter);
    EXPECT_EQ(exceptionBoxes.Exceptions().value(3), QStringLiteral("inside the loop."));
}

class WindowTest : public ::testing::Test {
protected:
    platform::DesktopDoubles doubles;
    platform::QtDesktop desktop;
};

TEST_F(WindowTest, TheWindowManagerGetsEveryCaptionExactlyAsGiven)
{
    ui::TMain_form form(desktop.Services());
    desktop.messages.SetOwner(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const XServer x;
    EXPECT_EQ(x.Caption(form.winId()), QStringLiteral("Vantrel 1.6"));

    EXPECT_EQ(CaptionOfModal([&] { desktop.messages.ShowError(QStringLiteral("File is not selected!")); }),
              QStringLiteral("Error"));
    EXPECT_EQ(CaptionOfModal([&] { desktop.messages.ShowException(QStringLiteral("Access violation.")); }),
              QStringLiteral("Vantrel"));
    EXPECT_EQ(CaptionOfModal([&] { desktop.openFiles.Execute(); }), QStringLiteral("Open"));

    form.open_folder_butClick();
    QFileDialog* browser = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isVisible())
            browser = dialog;
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(x.Caption(browser->winId()), QStringLiteral("Find Directory"));
    browser->reject();
}

TEST_F(WindowTest, TheDialogsKeepNothingForTheNextStart)
{
    // Qt's dialogs would write their last folder and history into the user's
    // configuration and read them back at the next start.
    CaptionOfModal([&] { desktop.openFiles.Execute(); });
    QObject receiver;
    bool answered = false;
    desktop.folderBrowser.Open(receiver, [&answered](const QString&) { answered = true; });
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isVisible())
            dialog->reject();
    EXPECT_TRUE(answered);

    const QDir config(qEnvironmentVariable("XDG_CONFIG_HOME"));
    const QStringList kept = config.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(kept.isEmpty()) << kept.join(QLatin1Char(' ')).toStdString();
}

TEST_F(WindowTest, ASignalWhileAnErrorBoxIsOpenCancelsTheBoxAndClosesTheWindow)
{
    ui::TMain_form form(desktop.Services());
    desktop.messages.SetOwner(&form);
    new platform::ClosingSignals(form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    bool timedOut = false;
    const QObject timeoutScope;
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer::singleShot(20000, &timeoutScope, [&timedOut] {
        timedOut = true;
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            box->reject();
    });

    desktop.messages.ShowError(QStringLiteral("File is not selected!")); // returns when the box goes

    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WindowTest, EveryHintOfTheWindowWakesAfterHalfASecond)
{
    ui::TMain_form form(doubles.Services());
    // Qt asks the style of the control under the pointer.
    for (QWidget* underPointer : std::initializer_list<QWidget*>{
             form.open_files_but, form.open_folder_but, form.decript_but, form.stop_but, form.play_but, form.Edit1,
             form.NextGrid1->viewport()})
        EXPECT_EQ(underPointer->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, underPointer),
                  ui::HintPauseMs)
            << underPointer->metaObject()->className();
}

TEST_F(WindowTest, TheWindowAnswersWhileTheFolderBrowserIsOpenAndClosingItEndsTheProgram)
{
    auto form = std::make_unique<ui::TMain_form>(platform::DesktopServices{
        doubles.openFiles, desktop.folderBrowser, doubles.messages, doubles.shell});
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    // Clicks as the window system delivers them, so that a blocked window
    // would not get them.
    const auto click = [&form](QWidget* button) {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, button->mapTo(form.get(), QPoint(20, 20)));
    };

    click(form->open_folder_but);
    QPointer<QFileDialog> browser;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isVisible())
            browser = dialog;
    ASSERT_FALSE(browser.isNull());

    click(form->play_but);
    EXPECT_EQ(doubles.messages.Errors(), QStringList{QStringLiteral("File is not selected!")});

    bool timedOut = false;
    const QObject timeoutScope; // the timeout goes with this test
    QTimer::singleShot(0, form.get(), [&form] { form->close(); });
    QTimer::singleShot(20000, &timeoutScope, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    form.reset();
    EXPECT_TRUE(browser.isNull());
}

// Starts the program as a user does (none of the test run's sanitizer
// settings), with TMPDIR set when temporary is not empty, and returns its
// shown window, or 0.
xcb_window_t StartProgram(QProcess& program, const QString& temporary = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
        environment.remove(QString::fromLatin1(name));
    if (!temporary.isEmpty())
        environment.insert(QStringLiteral("TMPDIR"), temporary);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VANTREL_PROGRAM));
    if (!program.waitForStarted())
        return 0;
    const XServer x;
    xcb_window_t window = 0;
    QElapsedTimer waited;
    waited.start();
    while (!window && waited.elapsed() < 60000 && program.state() == QProcess::Running) {
        QTest::qWait(100);
        window = x.ShownWindowOf(program.processId());
    }
    return window;
}

// Ended normally: code 0 and no leak report.
void ExpectCleanEnd(QProcess& program)
{
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_FALSE(errors.contains(QStringLiteral("Sanitizer"))) << errors.toStdString();
}

TEST(ProgramTest, StartedAndClosedByHandItEndsWithCodeZeroAndNoLeakReport)
{
    QProcess program;
    const xcb_window_t window = StartProgram(program);
    ASSERT_NE(window, 0u) << program.readAllStandardError().toStdString();
    EXPECT_EQ(XServer().Caption(window), QStringLiteral("Vantrel 1.6"));

    XServer().AskToClose(window);
    ExpectCleanEnd(program);
}

// A desktop logout sends SIGTERM, a closed terminal SIGHUP, Ctrl-C there
// SIGINT: each closes the window as its close box does, and the program
// cleans up after itself, however often it is ended so.
TEST(ProgramTest, EndedBySignalsItClosesAsByItsCloseBoxAndLeavesNothingInTheTemporaryFolder)
{
    const QTemporaryDir temporary;
    for (int start = 0; start < 20; ++start) {
        const int signal = std::array{SIGTERM, SIGHUP, SIGINT}[start % 3];
        SCOPED_TRACE(signal);
        QProcess program;
        ASSERT_NE(StartProgram(program, temporary.path()), 0u) << program.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(program.processId()), signal);
        ExpectCleanEnd(program);
    }
    const QStringList left = QDir(temporary.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(left.isEmpty()) << left.join(QLatin1Char(' ')).toStdString();
}

} // namespace
} // namespace vantrel::app

int main(int argc, char** argv)
{
    const vantrel::testing::PrivateHome home;
    vantrel::app::VantrelApplication application(argc, argv, vantrel::app::exceptionBoxes);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
