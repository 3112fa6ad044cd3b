// The Add files command through the window: the dialog's answer becomes
// rows, each path once.
#include "batch/file_list.h"

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

} // namespace
} // namespace vantrel::batch::testing
