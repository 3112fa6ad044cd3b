// The file list's commands through the window: the dialog's answer and
// files and folders dropped on the window become rows, each path once; the
// row menu and the Delete key take rows out, never files.
#include "batch/file_list.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTest>

#include "ui/file_list_actions.h"
#include "window_fixture.h"

namespace vantrel::batch::testing {
namespace {

class AddFilesTest : public WindowTest {
protected:
    QStringList Sources() const
    {
        QStringList sources;
        for (int row = 0; row < Rows(); ++row) sources.append(Row(row).source);
        return sources;
    }
};

TEST_F(AddFilesTest, CancellingChangesNothing)
{
    Add({QStringLiteral("/data/a.txt")});
    desktop.openFiles.Cancel();
    form.open_files_but->click();

    EXPECT_EQ(desktop.openFiles.Calls(), 2);
    EXPECT_EQ(Sources(), QStringList{QStringLiteral("/data/a.txt")});
    EXPECT_FALSE(form.NextGrid1->IsUpdating());
}

TEST_F(AddFilesTest, NewRowsComeInTheDialogsOrderAsNotDecoded)
{
    const QStringList chosen{QStringLiteral("/data/c.txt"), QStringLiteral("/data/a.txt"),
                             QStringLiteral("/other/b.txt")};
    Add(chosen);

    EXPECT_EQ(Sources(), chosen);
    for (int row = 0; row < Rows(); ++row) {
        EXPECT_EQ(Row(row).status, QStringLiteral("Not decoded"));
        EXPECT_EQ(Row(row).progress, 0.0);
        EXPECT_EQ(Row(row).decoded, QString());
    }
    EXPECT_FALSE(form.NextGrid1->IsUpdating());
}

struct DuplicateCase {
    const char* name;
    QStringList listed;
    QStringList chosen;
    QStringList expected;
};

TEST_F(AddFilesTest, EachPathIsListedOnceComparedExactly)
{
    const DuplicateCase cases[] = {
        {"already listed", {"/d/a.txt", "/d/b.txt"}, {"/d/b.txt", "/d/c.txt"}, {"/d/a.txt", "/d/b.txt", "/d/c.txt"}},
        {"twice in one choice", {}, {"/d/a.txt", "/d/a.txt"}, {"/d/a.txt"}},
        {"letter case differs", {"/d/Report.txt"}, {"/d/report.txt"}, {"/d/Report.txt", "/d/report.txt"}},
        {"another form of the same path", {"/d/a.txt"}, {"/d/./a.txt", "/d//a.txt"},
         {"/d/a.txt", "/d/./a.txt", "/d//a.txt"}},
        {"non-Latin letters", {"/d/отчёт.txt"}, {"/d/отчёт.txt", "/d/Отчёт.txt"}, {"/d/отчёт.txt", "/d/Отчёт.txt"}},
    };
    for (const DuplicateCase& c : cases) {
        ui::TMain_form fresh({desktop.openFiles, desktop.folderBrowser, boxes, desktop.shell}, {files, drives});
        for (const QStringList& answer : {c.listed, c.chosen}) {
            if (answer.isEmpty()) continue;
            desktop.openFiles.Choose(answer);
            fresh.open_files_butClick();
        }
        QStringList sources;
        for (int row = 0; row < fresh.NextGrid1->GetRowCount(); ++row)
            sources.append(fresh.NextGrid1->GetCell(0, row)->GetAsString());
        EXPECT_EQ(sources, c.expected) << c.name;
    }
}

TEST_F(AddFilesTest, ADuplicateLeavesTheListedRowAsItWas)
{
    const QString source = Write(QStringLiteral("a.txt"), "plain");
    Add({source});
    Run(QStringLiteral("0123456789"));
    const RowView before = Row(0);
    ASSERT_EQ(before.status, QStringLiteral("Decoded"));

    Add({source, Write(QStringLiteral("b.txt"), "more")});

    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Row(0).status, before.status);
    EXPECT_EQ(Row(0).progress, before.progress);
    EXPECT_EQ(Row(0).decoded, before.decoded);
    EXPECT_EQ(Row(1).status, QStringLiteral("Not decoded"));
    EXPECT_EQ(Row(1).decoded, QString());
}

// --- dropping files and folders

class DropTest : public AddFilesTest {
protected:
    // A drop as a file manager makes it with Shift held: offering a copy or
    // a move, and proposing the move. Returns the action the window took.
    // The rows come in once the drop has returned to the source.
    Qt::DropAction Drop(const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at(200, 200);
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(&form, &enter);
        if (!enter.isAccepted()) return Qt::IgnoreAction;
        QDropEvent drop(at, offered, &data, Qt::LeftButton, Qt::ShiftModifier);
        EXPECT_EQ(drop.proposedAction(), Qt::MoveAction);
        QCoreApplication::sendEvent(&form, &drop);
        QCoreApplication::processEvents();
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    static QUrl Local(const QString& path) { return QUrl::fromLocalFile(path); }
};

TEST_F(DropTest, FilesComeInTheGivenOrderAndFoldersBringTheirTextFilesSortedByPath)
{
    const QString listed = Write(QStringLiteral("x.txt"), "x");
    const QString b = Write(QStringLiteral("folder/b.txt"), "b");
    const QString a = Write(QStringLiteral("folder/a.txt"), "a");
    const QString c = Write(QStringLiteral("folder/sub/c.TXT"), "c");
    Write(QStringLiteral("folder/skip.png"), "png");
    const QString log = Write(QStringLiteral("notes.log"), "log");
    Add({listed});

    const Qt::DropAction action =
        Drop({Local(dir.filePath(QStringLiteral("folder"))), Local(listed), Local(log), Local(a), Local(b)});

    EXPECT_EQ(action, Qt::CopyAction);   // never a move: the source keeps its files
    EXPECT_EQ(Sources(), (QStringList{listed, a, b, c, log}));
    EXPECT_EQ(Row(4).status, QStringLiteral("Not decoded"));
    EXPECT_FALSE(form.NextGrid1->IsUpdating());
    EXPECT_TRUE(boxes.errors.isEmpty());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(DropTest, AFoldersWalkLeavesOutTheOutputsOfEarlierRuns)
{
    const QString source = Write(QStringLiteral("tree/a.txt"), "a");
    const QString inDecript = Write(QStringLiteral("tree/Decript/a-dec.txt"), "a");
    Write(QStringLiteral("tree/sub/Decript/b-dec.txt"), "b");
    Write(QStringLiteral("tree/out/a-dec(1).txt"), "a");
    ChooseFolder(dir.filePath(QStringLiteral("tree/sub/../out")));   // the same folder, named another way

    Drop({Local(dir.filePath(QStringLiteral("tree")))});
    EXPECT_EQ(Sources(), QStringList{source});

    // A "Decript" folder dropped itself is walked as any other.
    Drop({Local(dir.filePath(QStringLiteral("tree/Decript")))});
    EXPECT_EQ(Sources(), (QStringList{source, inDecript}));
}

TEST_F(DropTest, UrlsOfOtherMachinesBringTheErrorBoxOnceTheLocalFilesAreIn)
{
    const QString local = Write(QStringLiteral("a.txt"), "a");
    const QString viaLocalhost = Write(QStringLiteral("b.txt"), "b");
    QUrl localhost = Local(viaLocalhost);
    localhost.setHost(QStringLiteral("localhost"));
    QStringList rowsWhenBoxOpened;
    boxes.whileOpen = [&](const QString&) { rowsWhenBoxOpened = Sources(); };

    Drop({QUrl(QStringLiteral("https://example.com/c.txt")), Local(local),
          QUrl(QStringLiteral("file://fileserver/share/d.txt")), localhost});

    EXPECT_EQ(Sources(), (QStringList{local, viaLocalhost}));
    EXPECT_EQ(boxes.errors, QStringList{QStringLiteral("Only local files can be added!")});
    EXPECT_EQ(rowsWhenBoxOpened, Sources());
}

// Sees the cursor at the moment a folder is read.
class CursorWatchingLister final : public platform::FolderLister {
public:
    mutable std::vector<Qt::CursorShape> cursors;
    std::optional<std::vector<platform::FolderEntry>> List(const std::string& folder) const override
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursors.push_back(cursor ? cursor->shape() : Qt::ArrowCursor);
        return real_.List(folder);
    }

private:
    platform::PosixFolderLister real_;
};

TEST_F(DropTest, TheCursorShowsWorkWhileAFolderIsRead)
{
    CursorWatchingLister lister;
    ui::TMain_form watched({desktop.openFiles, desktop.folderBrowser, boxes, desktop.shell}, {files, drives, lister});
    Write(QStringLiteral("f/g/a.txt"), "a");
    ui::FileListActions& actions = watched.ListActions();

    actions.AddUrls({Local(dir.filePath(QStringLiteral("f")))});

    EXPECT_EQ(lister.cursors, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
    EXPECT_EQ(watched.NextGrid1->GetRowCount(), 1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// --- taking rows out, and the row menu

class RowMenuTest : public DropTest {
protected:
    // Rows a, b, c, d; b and d decoded, with their outputs on disk.
    void SetUp() override
    {
        for (const char* name : {"a", "b", "c", "d"})
            sources.append(Write(QString::fromLatin1(name) + QStringLiteral(".txt"), "text"));
        for (const char* name : {"b", "d"})
            decoded.append(Write(QStringLiteral("Decript/%1-dec.txt").arg(QLatin1String(name)), "decoded"));
        ListAfresh();
    }
    void ListAfresh()
    {
        form.NextGrid1->ClearRows();
        Add(sources);
        for (int row : {1, 3}) {
            form.NextGrid1->GetCell(1, row)->SetAsString(QStringLiteral("Decoded"));
            form.NextGrid1->GetCell(3, row)->SetAsString(decoded[row / 2]);
        }
    }
    ui::FileListActions& Actions() { return form.ListActions(); }
    // The menu's items as shown for the row: which of them can be used.
    std::vector<bool> EnabledItems(int row)
    {
        Actions().ShowMenu(row, QPoint(10, 10));
        std::vector<bool> enabled;
        for (QAction* action : {Actions().ViewTextAction(), Actions().OpenFileAction(), Actions().OpenFolderAction(),
                                Actions().CopyPathAction(),
                                Actions().RemoveRowAction(), Actions().RemoveDecodedAction(),
                                Actions().ClearListAction()})
            enabled.push_back(action->isEnabled());
        Actions().Menu().hide();
        return enabled;
    }

    QStringList sources;
    QStringList decoded;
};

TEST_F(RowMenuTest, ItemsThatCannotApplyAreDisabled)
{
    //                                      view   open   folder copy   remove decoded clear
    EXPECT_EQ(EnabledItems(1), (std::vector<bool>{true, true, true, true, true, true, true}));
    EXPECT_EQ(EnabledItems(0), (std::vector<bool>{false, false, false, true, true, true, true}));
    EXPECT_EQ(EnabledItems(-1), (std::vector<bool>{false, false, false, false, false, true, true}));
    form.SetRunning(true);
    EXPECT_EQ(EnabledItems(1), (std::vector<bool>{true, false, true, true, false, false, false}));
    // A decoded path from an earlier run, while the row is decoded again.
    form.NextGrid1->GetCell(1, 1)->SetAsString(QStringLiteral("Decoding"));
    EXPECT_EQ(EnabledItems(1), (std::vector<bool>{false, false, true, true, false, false, false}));
    form.SetRunning(false);
    form.NextGrid1->GetCell(1, 1)->SetAsString(QStringLiteral("Decoded"));
    Actions().RemoveDecoded();
    EXPECT_EQ(EnabledItems(-1), (std::vector<bool>{false, false, false, false, false, false, true}));
    Actions().ClearList();
    EXPECT_EQ(EnabledItems(-1), (std::vector<bool>{false, false, false, false, false, false, false}));
}

TEST_F(RowMenuTest, TakingRowsOutMovesTheSelectionAndLeavesTheFilesAlone)
{
    const struct {
        const char* name;
        int selected;
        std::function<void()> command;
        QStringList remaining;   // by file name
        int expectSelected;
    } cases[] = {
        {"Remove from list", 1, [&] { Actions().RemoveRowAction()->trigger(); }, {"a", "c", "d"}, 1},
        {"Remove from list on the last row", 3, [&] { Actions().RemoveRowAction()->trigger(); }, {"a", "b", "c"}, 2},
        {"Remove decoded", 3, [&] { Actions().RemoveDecodedAction()->trigger(); }, {"a", "c"}, 1},
        {"Clear list", 2, [&] { Actions().ClearListAction()->trigger(); }, {}, -1},
    };
    for (const auto& c : cases) {
        ListAfresh();
        form.NextGrid1->SetSelectedRow(c.selected);
        Actions().ShowMenu(c.selected, QPoint(10, 10));
        c.command();
        Actions().Menu().hide();

        QStringList names;
        for (const QString& source : Sources()) names.append(QFileInfo(source).baseName());
        EXPECT_EQ(names, c.remaining) << c.name;
        EXPECT_EQ(form.NextGrid1->GetSelectedRow(), c.expectSelected) << c.name;
        for (const QString& file : sources + decoded) EXPECT_TRUE(QFile::exists(file)) << c.name;
    }
}

TEST_F(RowMenuTest, NothingChangesTheListDuringARun)
{
    const QString more = Write(QStringLiteral("e.txt"), "e");
    form.SetRunning(true);
    form.NextGrid1->SetSelectedRow(1);
    EXPECT_EQ(Drop({QUrl::fromLocalFile(more)}), Qt::IgnoreAction);
    Actions().AddUrls({QUrl::fromLocalFile(more)});
    Actions().RemoveRow(1);
    Actions().RemoveDecoded();
    Actions().ClearList();
    form.SetRunning(false);
    EXPECT_EQ(Sources(), sources);
}

TEST_F(RowMenuTest, TheDeleteKeyRemovesTheSelectedRowAndARightClickOpensTheMenu)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.NextGrid1->setFocus();
    form.NextGrid1->SetSelectedRow(2);
    QTest::keyClick(form.NextGrid1, Qt::Key_Delete);
    EXPECT_EQ(Sources(), (QStringList{sources[0], sources[1], sources[3]}));
    EXPECT_EQ(form.NextGrid1->GetSelectedRow(), 2);

    // A right-click on a row opens the menu for it.
    QWidget* body = form.NextGrid1->viewport();
    const QPoint onRow(40, form.NextGrid1->RowTop(1) + 5);
    QTest::mouseClick(body, Qt::RightButton, {}, onRow);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, onRow, body->mapToGlobal(onRow));
    QCoreApplication::sendEvent(body, &menu);
    EXPECT_TRUE(Actions().Menu().isVisible());
    EXPECT_EQ(Actions().MenuRow(), 1);

    // With the menu up, the key works as its item: once, and the menu goes.
    QTest::keyClick(&Actions().Menu(), Qt::Key_Delete);
    EXPECT_EQ(Sources(), (QStringList{sources[0], sources[3]}));
    EXPECT_FALSE(Actions().Menu().isVisible());
}

TEST_F(RowMenuTest, OpenShowAndCopyWorkOnTheMenusRowAndAFolderNothingCanShowIsSaid)
{
    form.NextGrid1->SetSelectedRow(3);
    Actions().ShowMenu(3, QPoint(10, 10));
    Actions().OpenFileAction()->trigger();
    Actions().OpenFolderAction()->trigger();
    Actions().CopyPathAction()->trigger();
    Actions().Menu().hide();
    EXPECT_EQ(desktop.shell.Opened(), QStringList{decoded[1]});
    EXPECT_EQ(desktop.shell.ShownInFolder(), QStringList{decoded[1]});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), sources[3] + QLatin1Char('\n') + decoded[1]);

    form.NextGrid1->SetSelectedRow(0);
    Actions().ShowMenu(0, QPoint(10, 10));
    Actions().CopyPathAction()->trigger();
    Actions().Menu().hide();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), sources[0]);
    EXPECT_TRUE(boxes.errors.isEmpty());

    desktop.shell.SetNoProgram(true);
    Actions().ShowMenu(1, QPoint(10, 10));
    Actions().OpenFolderAction()->trigger();
    Actions().Menu().hide();
    EXPECT_EQ(boxes.errors, QStringList{QStringLiteral("No program could show the folder \"%1\"!")
                                            .arg(dir.filePath(QStringLiteral("Decript")))});
}

} // namespace
} // namespace vantrel::batch::testing
