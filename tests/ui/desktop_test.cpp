// The window on a desktop: a private X display with a window manager
// (openbox) framing it, and a drag source in another process. What the
// platform decides is checked here: drops that offer text beside the files,
// the keyboard focus around a run, the error box of a folder that nothing
// can show, and the smallest size with the frame counted.
#include "app/vantrel_application.h"
#include "grid/next_grid.h"
#include "platform/qt_desktop_services.h"
#include "platform/testing/desktop_doubles.h"
#include "private_home.h"
#include "ui/file_list_actions.h"
#include "ui/main_form.h"
#include "ui/nx_check_box.h"
#include "ui/nx_edit.h"
#include "ui/nx_panel.h"
#include "x_server.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <ostream>
#include <xcb/xtest.h>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace vantrel::ui {
namespace {

using vantrel::testing::XServer;

platform::RecordingMessageBoxes exceptionBoxes;

xcb_connection_t* Connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

// The pointer as the user moves it: the X server's own input, which every
// program on the display sees.
void MovePointer(QPoint to)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root;
    xcb_test_fake_input(Connection(), XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, int16_t(to.x()), int16_t(to.y()),
                        0);
    xcb_flush(Connection());
}

void PressButton(bool down)
{
    xcb_test_fake_input(Connection(), down ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0,
                        0, 0);
    xcb_flush(Connection());
}

// Drags with the left button from one screen point to another in small
// steps, answering the drag protocol's messages on the way.
void Drag(QPoint from, QPoint to)
{
    MovePointer(from);
    QTest::qWait(100);
    PressButton(true);
    constexpr int Steps = 20;
    for (int step = 1; step <= Steps; ++step) {
        QTest::qWait(30);
        MovePointer(from + (to - from) * step / Steps);
    }
    QTest::qWait(300);
    PressButton(false);
}

// A file manager's window in another process, offering files by drag as a
// URI list and as their paths in plain text.
class DragSource {
public:
    explicit DragSource(const QString& file)
    {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(VANTREL_DRAG_SOURCE), QStringLiteral("--with-text"), file});
        if (!QTest::qWaitFor([this] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; }, 30000))
            return; // no place to drag from: the test's checks fail on it
        const QStringList place = QString::fromLatin1(process_.readLine()).split(QLatin1Char(' '));
        if (place.size() == 2) middle_ = QPoint(place[0].toInt(), place[1].toInt());
    }
    ~DragSource()
    {
        process_.kill();
        process_.waitForFinished();
    }
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    // Where a drag starts; nothing when the window never showed.
    std::optional<QPoint> Middle() const { return middle_; }
    QString Errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

private:
    QProcess process_;
    std::optional<QPoint> middle_;
};

class DesktopTest : public ::testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes = "plain text\n") const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static void Show(TMain_form& form)
    {
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    static QStringList Sources(const TMain_form& form)
    {
        QStringList sources;
        for (int row = 0; row < form.NextGrid1->GetRowCount(); ++row)
            sources.append(form.NextGrid1->GetCell(0, row)->GetAsString());
        return sources;
    }
    static QPoint Global(QWidget* widget, QPoint local) { return widget->mapToGlobal(local); }

    QTemporaryDir dir;
    platform::DesktopDoubles doubles;
};

TEST_F(DesktopTest, TheSmallestWindowIs400By200WithItsFrame)
{
    TMain_form form(doubles.Services());
    Show(form);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.windowHandle()->frameMargins().isNull(); }, 5000))
        << "the window manager framed the window";
    form.resize(100, 50);
    const XServer x;
    EXPECT_TRUE(QTest::qWaitFor([&] { return x.OuterSize(form.winId()) == QSize(400, 200); }, 5000))
        << x.OuterSize(form.winId()).width() << " x " << x.OuterSize(form.winId()).height();
    EXPECT_EQ(form.frameGeometry().size(), QSize(400, 200));
    EXPECT_EQ(form.NextGrid1->height(), form.height() - TMain_form::StripHeight);
}

TEST_F(DesktopTest, AfterARunTheFocusIsBackWhereTheRunFoundIt)
{
    TMain_form form(doubles.Services());
    doubles.folderBrowser.Choose(dir.path());   // any disk will do
    form.open_folder_butClick();
    doubles.openFiles.Choose({Write(QStringLiteral("a.txt"))});
    form.open_files_butClick();
    form.NextGrid1->SetSelectedRow(0);
    Show(form);
    const auto type = [&form](const QString& text) {
        for (const QChar c : text) QTest::keyClick(form.windowHandle(), c.toLatin1());
    };
    const auto runWithF5 = [&] {
        const int decodedBefore = int(QDir(dir.path()).entryList(QDir::Files).size());
        QTest::keyClick(form.windowHandle(), Qt::Key_F5);
        return QTest::qWaitFor(
            [&] { return !form.IsRunning() && QDir(dir.path()).entryList(QDir::Files).size() > decodedBefore; }, 10000);
    };

    form.Edit1->setFocus();
    type(QStringLiteral("0123456789"));
    ASSERT_TRUE(runWithF5());
    EXPECT_EQ(QApplication::focusWidget(), form.Edit1);
    type(QStringLiteral("ab"));   // typing goes on in the key field
    EXPECT_EQ(form.KeyText(), QStringLiteral("0123456789ab"));

    form.NextGrid1->setFocus();
    ASSERT_TRUE(runWithF5());
    EXPECT_EQ(QApplication::focusWidget(), form.NextGrid1);
    EXPECT_TRUE(doubles.messages.All().empty());
}

TEST_F(DesktopTest, FilesDroppedWithTheirPathsAsTextComeInWhereverTheyLandAndTheKeyTakesNothing)
{
    TMain_form form(doubles.Services());
    Show(form);
    form.Edit1->setText(QStringLiteral("typed-key-1"));
    const struct {
        const char* name;
        QPoint at;
    } drops[] = {
        {"key field", Global(form.Edit1, form.Edit1->rect().center())},
        {"table", Global(form.NextGrid1->viewport(), form.NextGrid1->viewport()->rect().center())},
        {"strip", Global(form.NxPanel1, QPoint(form.NxCheckBox1->geometry().right() + 30, 20))},
    };
    QStringList expected;
    for (const auto& drop : drops) {
        const QString file = Write(QString::fromLatin1(drop.name) + QStringLiteral(".txt"));
        DragSource source(file);
        ASSERT_TRUE(source.Middle()) << drop.name << ": " << source.Errors().toStdString();
        Drag(*source.Middle(), drop.at);
        expected.append(file);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Sources(form) == expected; }, 5000))
            << drop.name << ": " << Sources(form).join(QLatin1Char(',')).toStdString();
        EXPECT_EQ(form.KeyText(), QStringLiteral("typed-key-1")) << drop.name;
    }
    EXPECT_TRUE(doubles.messages.All().empty());
}

TEST_F(DesktopTest, AFolderThatNothingCanShowIsSaidInTheErrorBox)
{
    // No program on the path, and no file manager on a bus.
    const QByteArray path = qgetenv("PATH");
    const QTemporaryDir noPrograms;
    qputenv("PATH", QFile::encodeName(noPrograms.path()));
    platform::QtMessageBoxes boxes;
    platform::QtShell shell(QDBusConnection(QStringLiteral("no bus")));
    TMain_form form({doubles.openFiles, doubles.folderBrowser, boxes, shell});
    boxes.SetOwner(&form);
    QDir(dir.path()).mkdir(QStringLiteral("Decript"));
    const QString decoded = Write(QStringLiteral("Decript/a-dec.txt"));
    doubles.openFiles.Choose({Write(QStringLiteral("a.txt"))});
    form.open_files_butClick();
    form.NextGrid1->GetCell(1, 0)->SetAsString(QStringLiteral("Decoded"));
    form.NextGrid1->GetCell(3, 0)->SetAsString(decoded);
    Show(form);

    FileListActions& actions = form.ListActions();
    const vantrel::testing::ModalSeen seen = vantrel::testing::SeeModal([&] {
        actions.ShowMenu(0, Global(form.NextGrid1->viewport(), QPoint(40, 40)));
        actions.Menu().hide();
        actions.OpenFolderAction()->trigger();
    });
    qputenv("PATH", path);

    EXPECT_EQ(seen.caption, QStringLiteral("Error"));
    EXPECT_EQ(seen.text,
              QStringLiteral("No program could show the folder \"%1\"!").arg(dir.filePath(QStringLiteral("Decript"))));
}

} // namespace
} // namespace vantrel::ui

int main(int argc, char** argv)
{
    const vantrel::testing::PrivateHome home;
    vantrel::app::VantrelApplication application(argc, argv, vantrel::ui::exceptionBoxes);
    QProcess windowManager;
    windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!windowManager.waitForStarted() ||
        !QTest::qWaitFor([] { return vantrel::testing::XServer().WindowManagerRunning(); }, 30000)) {
        fprintf(stderr, "openbox did not take the display: %s\n", windowManager.readAllStandardError().constData());
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    windowManager.terminate();
    windowManager.waitForFinished();
    return result;
}
