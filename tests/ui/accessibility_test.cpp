// The window as assistive tools read it, in process, and its keyboard
// shortcuts: roles, names, states and key bindings of every control, the
// key field's label and its hidden text, and each shortcut doing what a
// click does, also during a run.
#include "accessible_events.h"
#include "grid/next_grid.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/main_form.h"
#include "ui/nx_check_box.h"
#include "ui/nx_edit.h"
#include "ui/nx_label.h"
#include "ui/nx_panel.h"
#include "ui/speed_button.h"
#include "ui/window_accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest/QTest>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace vantrel::ui {
namespace {

using vantrel::testing::AccessibleEventRecorder;

// Before the window exists: an interface once made is kept for the control's life.
struct InterfacesInstalled {
    InterfacesInstalled() { InstallAccessibleInterfaces(); }
};

class WindowAccessibilityTest : public ::testing::Test, private InterfacesInstalled {
protected:
    WindowAccessibilityTest()
    {
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    static QAccessibleInterface* Of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
    static void Press(const QKeySequence& key)
    {
        QTest::keyClick(QApplication::focusWidget(), key[0].key(), key[0].keyboardModifiers());
    }
    // Buttons show their press for a moment before the click.
    static bool Eventually(const std::function<bool()>& done) { return QTest::qWaitFor(done, 2000); }

    platform::DesktopDoubles desktop;
    TMain_form form{desktop.Services()};
};

TEST_F(WindowAccessibilityTest, EveryControlSaysWhatItIsAndWhichKeyReachesIt)
{
    const struct {
        QWidget* control;
        QAccessible::Role role;
        const char* name;
        QString action;
        const char* key;
    } controls[] = {
        {&form, QAccessible::Window, "Vantrel 1.6", {}, ""},
        {form.NxPanel1, QAccessible::ToolBar, "", {}, ""},
        {form.open_files_but, QAccessible::Button, "Upload files", QAccessibleActionInterface::pressAction(), "Ctrl+O"},
        {form.open_folder_but, QAccessible::Button, "Folder to upload files", QAccessibleActionInterface::pressAction(),
         "Ctrl+Shift+O"},
        {form.decript_but, QAccessible::Button, "Run", QAccessibleActionInterface::pressAction(), "F5"},
        {form.stop_but, QAccessible::Button, "Остановить декрипт", QAccessibleActionInterface::pressAction(), "Esc"},
        {form.play_but, QAccessible::Button, "Open file", QAccessibleActionInterface::pressAction(), "Ctrl+Return"},
        {form.NxLabel1, QAccessible::StaticText, "Key for decode", {}, ""},
        {form.Edit1, QAccessible::EditableText, "Key for decode", QAccessibleActionInterface::setFocusAction(),
         "Alt+K"},
        {form.NxCheckBox1, QAccessible::CheckBox, "Key valid check", QAccessibleActionInterface::toggleAction(),
         "Alt+V"},
        {form.NextGrid1, QAccessible::Table, "Файлы", {}, ""},
    };
    for (const auto& c : controls) {
        QAccessibleInterface* iface = Of(c.control);
        ASSERT_NE(iface, nullptr) << c.name;
        EXPECT_EQ(iface->role(), c.role) << c.name;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(c.name)) << c.name;
        if (c.action.isEmpty())
            continue;
        ASSERT_NE(iface->actionInterface(), nullptr) << c.name;
        EXPECT_TRUE(iface->actionInterface()->actionNames().contains(c.action)) << c.name;
        EXPECT_EQ(iface->actionInterface()->keyBindingsForAction(c.action), QStringList{c.key}) << c.name;
    }
    EXPECT_TRUE(Of(form.Edit1)->state().passwordEdit);
    EXPECT_TRUE(Of(form.NxCheckBox1)->state().checkable);
    EXPECT_TRUE(Of(form.NxCheckBox1)->state().checked);
    EXPECT_TRUE(Of(form.stop_but)->state().invisible);
    EXPECT_FALSE(Of(form.decript_but)->state().invisible);
}

TEST_F(WindowAccessibilityTest, TheLabelNamesTheKeyFieldBothWays)
{
    const auto labels = Of(form.Edit1)->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first, Of(form.NxLabel1));
    const auto labelled = Of(form.NxLabel1)->relations(QAccessible::Labelled);
    ASSERT_EQ(labelled.size(), 1);
    EXPECT_EQ(labelled[0].first, Of(form.Edit1));
}

TEST_F(WindowAccessibilityTest, TheKeyReachesToolsOnlyAsItsMask)
{
    AccessibleEventRecorder recorder;
    form.Edit1->setFocus();
    const QString typed = QStringLiteral("s3cret key!");
    QTest::keyClicks(form.Edit1, typed);
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    // The field's own menu pastes while the menu, not the field, handles the click.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), form.Edit1->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(form.Edit1, &menuKey);
    auto* menu = form.Edit1->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(),
                                    [](QAction* a) { return a->text().startsWith(QStringLiteral("&Paste")); });
    ASSERT_NE(paste, actions.end());
    (*paste)->trigger();
    menu->close();
    EXPECT_EQ(form.KeyText(), typed.chopped(1) + QStringLiteral("pasted"));   // the window still reads the key

    const auto inserted = recorder.OfType(QAccessible::TextInserted);
    ASSERT_EQ(inserted.size(), size_t(typed.size() + 1));
    for (const auto& e : inserted)
        EXPECT_EQ(e.text, QString(e.text.size(), QLatin1Char('*')));
    EXPECT_EQ(inserted.back().text, QStringLiteral("******"));
    const auto removed = recorder.OfType(QAccessible::TextRemoved);
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].text, QStringLiteral("*"));

    QAccessibleInterface* field = Of(form.Edit1);
    const QString mask(typed.size() - 1 + 6, QLatin1Char('*'));
    EXPECT_EQ(field->text(QAccessible::Value), mask);
    ASSERT_NE(field->textInterface(), nullptr);
    EXPECT_EQ(field->textInterface()->characterCount(), mask.size());
    EXPECT_EQ(field->textInterface()->text(0, mask.size()), mask);
    int start = 0, end = 0;
    EXPECT_EQ(field->textInterface()->textAtOffset(0, QAccessible::LineBoundary, &start, &end), mask);
}

TEST_F(WindowAccessibilityTest, TheOptionsCheckedStateFollowsEveryToggle)
{
    AccessibleEventRecorder recorder;
    QAccessibleInterface* option = Of(form.NxCheckBox1);
    QTest::mouseClick(form.NxCheckBox1, Qt::LeftButton, {}, form.NxCheckBox1->BoxRect().center());
    EXPECT_FALSE(option->state().checked);
    option->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(form.NxCheckBox1->Checked());
    EXPECT_TRUE(option->state().checked);
    QTest::keyClick(form.NxCheckBox1, Qt::Key_Space);
    EXPECT_FALSE(option->state().checked);
    const auto changes = recorder.OfType(QAccessible::StateChanged);
    ASSERT_EQ(changes.size(), 3u);
    for (const auto& e : changes)
        EXPECT_EQ(e.object, form.NxCheckBox1);
}

TEST_F(WindowAccessibilityTest, ShortcutsDoWhatAClickDoes)
{
    const struct {
        const char* name;
        QKeySequence key;
        std::function<bool()> done;
    } shortcuts[] = {
        {"Upload files", QKeySequence(Qt::CTRL | Qt::Key_O), [&] { return desktop.openFiles.Calls() == 1; }},
        {"Folder to upload files", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
         [&] { return desktop.folderBrowser.Calls() == 1; }},
        {"Run, here with no key", QKeySequence(Qt::Key_F5),
         [&] { return desktop.messages.Errors() == QStringList{"Decoding key is not correct!"}; }},
        {"Open file, here with no row", QKeySequence(Qt::CTRL | Qt::Key_Return),
         [&] { return desktop.messages.Errors().value(1) == QStringLiteral("File is not selected!"); }},
        {"Alt+K focuses the key field", QKeySequence(Qt::ALT | Qt::Key_K), [&] { return form.Edit1->hasFocus(); }},
        {"Alt+V toggles the option as a click does",
         QKeySequence(Qt::ALT | Qt::Key_V),
         [&] { return !form.NxCheckBox1->Checked() && form.NxCheckBox1->hasFocus(); }},
    };
    for (const auto& s : shortcuts) {
        form.NextGrid1->setFocus();
        Press(s.key);
        EXPECT_TRUE(Eventually(s.done)) << s.name;
    }
    Press(QKeySequence(Qt::Key_Escape));
    QTest::qWait(250);
    EXPECT_FALSE(form.GetStopRequested()) << "Escape is Stop only during a run";
}

TEST_F(WindowAccessibilityTest, DuringARunOnlyEscapeWorksAndItStops)
{
    form.SetRunning(true);
    EXPECT_TRUE(Of(form.open_files_but)->state().disabled);
    EXPECT_TRUE(Of(form.decript_but)->state().invisible);
    EXPECT_FALSE(Of(form.stop_but)->state().invisible);
    EXPECT_FALSE(Of(form.stop_but)->state().disabled);

    form.NextGrid1->setFocus();
    for (const QKeySequence& key : {QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
                                    QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return),
                                    QKeySequence(Qt::ALT | Qt::Key_K), QKeySequence(Qt::ALT | Qt::Key_V)})
        Press(key);
    QTest::qWait(250);
    EXPECT_EQ(desktop.openFiles.Calls(), 0);
    EXPECT_EQ(desktop.folderBrowser.Calls(), 0);
    EXPECT_TRUE(desktop.messages.All().empty());
    EXPECT_FALSE(form.Edit1->hasFocus());
    EXPECT_TRUE(form.NxCheckBox1->Checked());

    Press(QKeySequence(Qt::Key_Escape));
    EXPECT_TRUE(Eventually([&] { return form.GetStopRequested(); }));
    form.SetRunning(false);
}

} // namespace
} // namespace vantrel::ui
