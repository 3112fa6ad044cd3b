#include "grid/cells.h"
#include "grid/columns.h"
#include "grid/next_grid.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/main_form.h"
#include "ui/nx_check_box.h"
#include "ui/nx_edit.h"
#include "ui/nx_label.h"
#include "ui/nx_panel.h"
#include "ui/speed_button.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QToolTip>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vantrel::ui {
namespace {

using grid::TNxCustomColumn;
using grid::TNxProgressColumn;

class MainFormTest : public ::testing::Test {
protected:
    // Appends a row with the given decoded path in "Decoded files".
    int AddRow(const QString& source, const QString& decoded)
    {
        const int row = form.NextGrid1->AddRow(1);
        form.NextGrid1->GetCell(0, row)->SetAsString(source);
        form.NextGrid1->GetCell(3, row)->SetAsString(decoded);
        return row;
    }

    platform::DesktopDoubles desktop;
    TMain_form form{desktop.Services()};
};

struct Placement {
    const char* name;
    QWidget* control;
    QRect geometry;
};

TEST_F(MainFormTest, EveryStripControlSitsAtItsPlace)
{
    const Placement placements[] = {
        {"open_files_but", form.open_files_but, {1, 2, 40, 40}},
        {"open_folder_but", form.open_folder_but, {41, 2, 40, 40}},
        {"decript_but", form.decript_but, {81, 2, 40, 40}},
        {"stop_but", form.stop_but, {81, 2, 40, 40}},
        {"play_but", form.play_but, {121, 2, 40, 40}},
        {"Edit1", form.Edit1, {256, 11, 177, 21}},
        {"NxCheckBox1", form.NxCheckBox1, {448, 11, 145, 21}},
    };
    for (const Placement& p : placements) {
        EXPECT_EQ(p.control->geometry(), p.geometry) << p.name;
        EXPECT_EQ(p.control->parentWidget(), form.NxPanel1) << p.name;
    }
}

TEST_F(MainFormTest, TheLabelShowsItsWholeCaptionBeforeTheKeyField)
{
    const QRect label = form.NxLabel1->geometry();
    EXPECT_EQ(label.topLeft(), QPoint(176, 13));
    EXPECT_GE(label.width(), form.NxLabel1->fontMetrics().horizontalAdvance(QStringLiteral("Key for decode")));
    EXPECT_GE(label.width(), 72);
    EXPECT_LT(label.right(), form.Edit1->geometry().left());
    EXPECT_EQ(label.height(), 13);
}

TEST_F(MainFormTest, TheStripKeeps42PixelsAndTheTableTakesTheRest)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.size(), QSize(859, 518));
    EXPECT_EQ(form.NxPanel1->geometry(), QRect(0, 0, 859, 42));
    EXPECT_EQ(form.NextGrid1->geometry(), QRect(0, 42, 859, 476));

    form.resize(1200, 700);
    QApplication::processEvents();
    EXPECT_EQ(form.NxPanel1->geometry(), QRect(0, 0, 1200, 42));
    EXPECT_EQ(form.NextGrid1->geometry(), QRect(0, 42, 1200, 658));

    // The smallest size is the outer one: the frame (2 pixels all round on
    // this platform) takes its share of it.
    form.resize(100, 50);
    QApplication::processEvents();
    EXPECT_EQ(form.frameGeometry().size(), QSize(400, 200));
    EXPECT_EQ(form.size(), QSize(396, 196));
    EXPECT_EQ(form.NxPanel1->geometry(), QRect(0, 0, 396, 42));
    EXPECT_EQ(form.NextGrid1->geometry(), QRect(0, 42, 396, 154));
}

TEST_F(MainFormTest, CaptionsHintsAndInitialState)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vantrel 1.6"));
    EXPECT_EQ(form.minimumSize(), QSize(400, 200));   // until a frame is known
    EXPECT_FALSE(form.windowIcon().isNull());
    EXPECT_EQ(form.windowIcon().availableSizes().value(0), QSize(48, 48));

    EXPECT_EQ(form.open_files_but->toolTip(), QStringLiteral("Upload files"));
    EXPECT_EQ(form.open_folder_but->toolTip(), QStringLiteral("Folder to upload files"));
    EXPECT_EQ(form.decript_but->toolTip(), QStringLiteral("Run"));
    EXPECT_EQ(form.stop_but->toolTip(), QStringLiteral("Остановить декрипт"));
    EXPECT_EQ(form.play_but->toolTip(), QStringLiteral("Open file"));
    EXPECT_EQ(form.Edit1->toolTip(), QStringLiteral("Ключ для декодирования"));
    EXPECT_EQ(form.NextGrid1->toolTip(), QStringLiteral("Файлы"));
    EXPECT_TRUE(form.NxCheckBox1->toolTip().isEmpty());
    EXPECT_TRUE(form.NxLabel1->toolTip().isEmpty());
    EXPECT_EQ(form.NxLabel1->Caption(), QStringLiteral("Key for decode"));
    EXPECT_EQ(form.NxCheckBox1->Caption(), QStringLiteral("Key valid check"));

    for (TSpeedButton* button : {form.open_files_but, form.open_folder_but, form.decript_but, form.stop_but,
                                 form.play_but}) {
        EXPECT_EQ(button->Glyph().size(), QSize(32, 32));
        EXPECT_TRUE(button->text().isEmpty());
    }
    EXPECT_FALSE(form.decript_but->isHidden());
    EXPECT_TRUE(form.stop_but->isHidden());
    EXPECT_TRUE(form.KeyText().isEmpty());
    EXPECT_TRUE(form.KeyCheckEnabled());
    EXPECT_FALSE(form.GetUseOutputFolder());
    EXPECT_TRUE(form.GetOutputFolder().isEmpty());
    EXPECT_FALSE(form.GetStopRequested());
    EXPECT_EQ(&form.OpenDialog1, &desktop.openFiles);
}

TEST_F(MainFormTest, TheTableHasItsFourColumns)
{
    const grid::TNxColumns& columns = form.NextGrid1->Columns();
    ASSERT_EQ(columns.Count(), 4);
    struct Expected {
        TNxCustomColumn* column;
        const char* caption;
        int width;
        Qt::Alignment alignment;
        grid::TSortType sortType;
    };
    const Expected expected[] = {
        {form.NxTextColumn1, "Source files", 306, Qt::AlignLeft, grid::stAlphabetic},
        {form.NxTextColumn2, "Status", 124, Qt::AlignHCenter, grid::stAlphabetic},
        {form.NxProgressColumn1, "Progress", 77, Qt::AlignHCenter, grid::stNumeric},
        {form.NxTextColumn3, "Decoded files", 323, Qt::AlignLeft, grid::stAlphabetic},
    };
    for (int i = 0; i < 4; ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(&columns[i], e.column) << i;
        EXPECT_EQ(e.column->Index(), i);
        EXPECT_EQ(e.column->Position(), i);
        EXPECT_EQ(e.column->Header().Caption, QString::fromUtf8(e.caption));
        EXPECT_EQ(e.column->Header().Alignment, Qt::AlignHCenter) << i;
        EXPECT_EQ(e.column->Width(), e.width) << i;
        EXPECT_EQ(e.column->DefaultWidth(), e.width) << i;
        EXPECT_EQ(e.column->Alignment(), e.alignment) << i;
        EXPECT_EQ(e.column->SortType(), e.sortType) << i;
    }
    const TNxProgressColumn& progress = *form.NxProgressColumn1;
    EXPECT_EQ(progress.ColumnType(), grid::ctFloat);
    EXPECT_EQ(progress.DefaultValue(), QStringLiteral("0"));
    EXPECT_EQ(progress.ProgressStyle, grid::psGradient);
    EXPECT_TRUE(progress.ShowText);
    EXPECT_EQ(progress.TextPosition, grid::tpInside);
    EXPECT_EQ(progress.BorderColor, QColor(Qt::white));
    EXPECT_EQ(progress.LowValueColor, QColor(Qt::black));
    EXPECT_EQ(progress.Margin, 0);
    EXPECT_FALSE(progress.HideWhenEmpty);

    EXPECT_EQ(form.NextGrid1->HeaderStyle(), grid::hsOffice2010);
    EXPECT_EQ(form.NextGrid1->Options(),
              grid::goCanHideColumn | grid::goGrid | grid::goHeader | grid::goSelectFullRow);
    EXPECT_TRUE(form.NextGrid1->ReadOnly());
}

// --- Choose folder

TEST_F(MainFormTest, ChoosingAFolderRemembersItAndTurnsTheOutputFolderOn)
{
    desktop.folderBrowser.Choose(QStringLiteral("/srv/out"));
    form.open_folder_but->click();
    EXPECT_EQ(desktop.folderBrowser.Calls(), 1);
    EXPECT_TRUE(form.GetUseOutputFolder());
    EXPECT_EQ(form.GetOutputFolder(), QStringLiteral("/srv/out"));
    EXPECT_FALSE(form.decript_but->isHidden());
    EXPECT_TRUE(desktop.messages.All().empty());
}

TEST_F(MainFormTest, ChoosingTwiceKeepsOnlyTheSecondFolder)
{
    desktop.folderBrowser.Choose(QStringLiteral("/srv/first"));
    desktop.folderBrowser.Choose(QStringLiteral("/srv/second"));
    form.open_folder_butClick();
    form.open_folder_butClick();
    EXPECT_EQ(form.GetOutputFolder(), QStringLiteral("/srv/second"));
    EXPECT_TRUE(form.GetUseOutputFolder());
}

TEST_F(MainFormTest, CancellingBeforeAnyChoiceLeavesTheOutputFolderOff)
{
    desktop.folderBrowser.Cancel();
    form.open_folder_butClick();
    EXPECT_FALSE(form.GetUseOutputFolder());
    EXPECT_TRUE(form.GetOutputFolder().isEmpty());
}

TEST_F(MainFormTest, CancellingAfterAChoiceKeepsTheChosenFolder)
{
    desktop.folderBrowser.Choose(QStringLiteral("/srv/out"));
    desktop.folderBrowser.Cancel();
    form.open_folder_butClick();
    form.open_folder_butClick();
    // Emptying the folder while it stays in use would send outputs to "/".
    EXPECT_TRUE(form.GetUseOutputFolder());
    EXPECT_EQ(form.GetOutputFolder(), QStringLiteral("/srv/out"));
    EXPECT_FALSE(form.decript_but->isHidden());
}

// --- Open file

TEST_F(MainFormTest, OpenFileOnAnEmptyTableSaysNoFileIsSelected)
{
    form.play_but->click();
    EXPECT_EQ(desktop.messages.Errors(), QStringList{QStringLiteral("File is not selected!")});
    EXPECT_TRUE(desktop.shell.Opened().isEmpty());
}

TEST_F(MainFormTest, OpenFileWithRowsButNoSelectionSaysNoFileIsSelected)
{
    AddRow(QStringLiteral("/data/a.txt"), QStringLiteral("/data/Decript/a-dec.txt"));
    form.play_butClick();
    EXPECT_EQ(desktop.messages.Errors(), QStringList{QStringLiteral("File is not selected!")});
    EXPECT_TRUE(desktop.shell.Opened().isEmpty());
}

TEST_F(MainFormTest, OpenFileOnARowNeverDecodedSaysSo)
{
    const int row = AddRow(QStringLiteral("/data/a.txt"), QString());
    form.NextGrid1->SetSelectedRow(row);
    form.play_butClick();
    EXPECT_EQ(desktop.messages.Errors(), QStringList{QStringLiteral("File is not decoded!")});
    EXPECT_TRUE(desktop.shell.Opened().isEmpty());
}

TEST_F(MainFormTest, OpenFileHandsTheSelectedRowsDecodedPathToTheShell)
{
    AddRow(QStringLiteral("/data/a.txt"), QStringLiteral("/data/Decript/a-dec.txt"));
    const int row = AddRow(QStringLiteral("/data/b b.txt"), QStringLiteral("/data/Decript/b b-dec(1).txt"));
    form.NextGrid1->SetSelectedRow(row);
    form.play_butClick();
    EXPECT_TRUE(desktop.messages.All().empty());
    EXPECT_EQ(desktop.shell.Opened(), QStringList{QStringLiteral("/data/Decript/b b-dec(1).txt")});
}

TEST_F(MainFormTest, OpenFileSaysSoWhenNoProgramCouldOpenTheFile)
{
    const int row = AddRow(QStringLiteral("/data/a.txt"), QStringLiteral("/data/Decript/a-dec.txt"));
    form.NextGrid1->SetSelectedRow(row);
    desktop.shell.SetNoProgram(true);
    form.play_butClick();
    EXPECT_EQ(desktop.shell.Opened(), QStringList{QStringLiteral("/data/Decript/a-dec.txt")});
    EXPECT_EQ(desktop.messages.Errors(),
              QStringList{QStringLiteral("No program could open the file \"/data/Decript/a-dec.txt\"!")});
}

// --- Hints

TEST_F(MainFormTest, EveryHintGoesAfterTwoAndAHalfSeconds)
{
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    struct Hinted {
        QWidget* underPointer;
        const char* hint;
    };
    const Hinted hinted[] = {
        {form.play_but, "Open file"},
        {form.Edit1, "Ключ для декодирования"},
        {form.NextGrid1->viewport(), "Файлы"},
    };
    for (const Hinted& h : hinted) {
        const QPoint pos = h.underPointer->rect().center();
        QHelpEvent help(QEvent::ToolTip, pos, h.underPointer->mapToGlobal(pos));
        QApplication::sendEvent(h.underPointer, &help);
        ASSERT_TRUE(QToolTip::isVisible()) << h.hint;
        EXPECT_EQ(QToolTip::text(), QString::fromUtf8(h.hint));
        QElapsedTimer shown;
        shown.start();
        while (QToolTip::isVisible() && shown.elapsed() < 8000)
            QTest::qWait(20);
        EXPECT_GE(shown.elapsed(), 2000) << h.hint;
        EXPECT_LT(shown.elapsed(), 5000) << h.hint;
    }
}

// --- Stop, double-click, run state

TEST_F(MainFormTest, StopOnlySetsTheRequest)
{
    form.stop_butClick();
    EXPECT_TRUE(form.GetStopRequested());
    EXPECT_FALSE(form.decript_but->isHidden());
    EXPECT_TRUE(form.stop_but->isHidden());
    EXPECT_TRUE(desktop.messages.All().empty());
    form.SetStopRequested(false);
    EXPECT_FALSE(form.GetStopRequested());
}

TEST_F(MainFormTest, StopButtonIsBoundToTheStopCommand)
{
    form.SetRunning(true);
    form.stop_but->click();
    EXPECT_TRUE(form.GetStopRequested());
}

TEST_F(MainFormTest, DoubleClickOnTheTableChangesNothing)
{
    AddRow(QStringLiteral("/data/a.txt"), QString());
    emit form.NextGrid1->OnDblClick();
    EXPECT_EQ(form.NextGrid1->GetRowCount(), 1);
    EXPECT_FALSE(form.GetStopRequested());
    EXPECT_FALSE(form.GetUseOutputFolder());
    EXPECT_TRUE(desktop.messages.All().empty());
    EXPECT_TRUE(desktop.shell.Opened().isEmpty());
}

TEST_F(MainFormTest, ARunShowsStopAndLocksEverythingThatCouldChangeItsInput)
{
    form.SetRunning(true);
    EXPECT_TRUE(form.decript_but->isHidden());
    EXPECT_FALSE(form.stop_but->isHidden());
    EXPECT_TRUE(form.stop_but->isEnabled());
    for (QWidget* locked : std::initializer_list<QWidget*>{form.open_files_but, form.open_folder_but,
                                                           form.play_but, form.Edit1, form.NxCheckBox1})
        EXPECT_FALSE(locked->isEnabled()) << locked->metaObject()->className();
    EXPECT_FALSE(form.NextGrid1->HeaderInteractionEnabled());

    form.SetRunning(false);
    EXPECT_FALSE(form.decript_but->isHidden());
    EXPECT_TRUE(form.stop_but->isHidden());
    for (QWidget* unlocked : std::initializer_list<QWidget*>{form.open_files_but, form.open_folder_but,
                                                             form.play_but, form.Edit1, form.NxCheckBox1})
        EXPECT_TRUE(unlocked->isEnabled());
    EXPECT_TRUE(form.NextGrid1->HeaderInteractionEnabled());
}

TEST_F(MainFormTest, TheRunReadsTheKeyAsTypedAndTheOption)
{
    QTest::keyClicks(form.Edit1, QStringLiteral("  key with spaces "));
    form.NxCheckBox1->SetChecked(false);
    EXPECT_EQ(form.KeyText(), QStringLiteral("  key with spaces "));
    EXPECT_FALSE(form.KeyCheckEnabled());
}

} // namespace
} // namespace vantrel::ui
