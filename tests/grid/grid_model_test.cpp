// TNextGrid's operations as the batch layer uses them, the update bracket,
// and what a change marks for painting (recorded paint regions).
#include "file_table_fixture.h"
#include "grid/grid_errors.h"
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vantrel::grid {
namespace {

using testing::PaintRecorder;
using testing::ShownFileTable;

TEST(GridOperationsTest, FreshGridIsEmptyWithNoSelection)
{
    TNextGrid grid;
    testing::ConfigureAsFileTable(grid);
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetSelectedRow(), -1);
    EXPECT_FALSE(grid.IsUpdating());
}

TEST(GridOperationsTest, AddRowReturnsLastIndexAndIgnoresCountsBelowOne)
{
    TNextGrid grid;
    testing::ConfigureAsFileTable(grid);
    QSignalSpy dataChanges(&grid, &TNextGrid::OnDataChange);
    EXPECT_EQ(grid.AddRow(0), 0);
    EXPECT_EQ(grid.AddRow(1), 0);
    EXPECT_EQ(grid.AddRow(3), 3);
    EXPECT_EQ(grid.AddRow(0), 3);
    EXPECT_EQ(grid.AddRow(-2), 3);
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(dataChanges.count(), 2);
    EXPECT_EQ(grid.GetCell(0, 3)->GetAsString(), QString());
    EXPECT_EQ(grid.GetCell(2, 3)->GetAsString(), QStringLiteral("0"));
    EXPECT_EQ(grid.GetCell(2, 3)->GetAsFloat(), 0.0);
    EXPECT_THROW(grid.GetCell(0, 4), EListError);
}

TEST(GridOperationsTest, DefaultValuesAreWrittenOnlyWithTheOption)
{
    TNextGrid grid;
    testing::ConfigureAsFileTable(grid);
    grid.Columns()[1].SetDefaultValue(QStringLiteral("Not decoded"));
    grid.Columns()[2].SetDefaultValue(QStringLiteral("not a number"));
    grid.AddRow(1);
    EXPECT_EQ(grid.GetCell(1, 0)->GetAsString(), QString());
    grid.SetOptions(grid.Options() | goUseDefaultValues);
    grid.AddRow(1);
    EXPECT_EQ(grid.GetCell(1, 1)->GetAsString(), QStringLiteral("Not decoded"));
    EXPECT_EQ(grid.GetCell(2, 1)->GetAsFloat(), 0.0);   // unreadable default leaves the cell as made
}

TEST(GridOperationsTest, SetSelectedRowSelectsClearsAndIgnoresBadRows)
{
    TNextGrid grid;
    testing::ConfigureAsFileTable(grid);
    grid.SetSelectedRow(0);
    EXPECT_EQ(grid.GetSelectedRow(), -1);   // empty table
    grid.AddRow(3);
    QSignalSpy selects(&grid, &TNextGrid::OnSelectCell);
    grid.SetSelectedRow(2);
    EXPECT_EQ(grid.GetSelectedRow(), 2);
    EXPECT_TRUE(grid.Cells().Row(2).Selected);
    grid.SetSelectedRow(7);
    grid.SetSelectedRow(-5);
    EXPECT_EQ(grid.GetSelectedRow(), 2);
    grid.SetSelectedRow(1);
    EXPECT_FALSE(grid.Cells().Row(2).Selected);
    grid.SetSelectedRow(-1);
    EXPECT_EQ(grid.GetSelectedRow(), -1);
    EXPECT_FALSE(grid.Cells().Row(1).Selected);
    EXPECT_EQ(selects.count(), 2);
}

struct DeleteCase {
    const char* name;
    int rows;
    int selected;
    std::vector<int> removed;
    std::vector<int> remaining;   // the rows left, by their number before
    int expectSelected;
    std::vector<std::pair<int, int>> reported;   // OnRowsDeleted (First, Count), in order
};

TEST(DeleteRowsTest, KeepsOrderMovesTheSelectionAndReportsEachRun)
{
    const DeleteCase cases[] = {
        {"the selected row goes: the next takes its place", 5, 2, {2}, {0, 1, 3, 4}, 2, {{2, 1}}},
        {"the selected last row goes: the new last row", 5, 4, {4}, {0, 1, 2, 3}, 3, {{4, 1}}},
        {"a row above the selected one goes: it follows its row", 5, 3, {0}, {1, 2, 3, 4}, 2, {{0, 1}}},
        {"runs of rows, the last run first", 8, 3, {6, 2, 3, 7, 0}, {1, 4, 5}, 1, {{6, 2}, {2, 2}, {0, 1}}},
        {"every row: nothing is selected", 3, 1, {0, 1, 2}, {}, -1, {{0, 3}}},
        {"no selection stays none", 4, -1, {1}, {0, 2, 3}, -1, {{1, 1}}},
        {"rows that do not exist and repeats are ignored", 3, 0, {5, -1, 1, 1}, {0, 2}, 0, {{1, 1}}},
        {"nothing to remove changes nothing", 3, 1, {3}, {0, 1, 2}, 1, {}},
    };
    for (const DeleteCase& c : cases) {
        TNextGrid grid;
        testing::ConfigureAsFileTable(grid);
        grid.AddRow(c.rows);
        for (int row = 0; row < c.rows; ++row)
            grid.GetCell(0, row)->SetAsString(QString::number(row));
        grid.Cells().Sort(0, stAlphabetic, true);
        grid.SetSelectedRow(c.selected);
        QSignalSpy deleted(&grid, &TNextGrid::OnRowsDeleted);
        QSignalSpy dataChanges(&grid, &TNextGrid::OnDataChange);

        grid.DeleteRows(c.removed);

        std::vector<int> remaining;
        int flagged = -1;
        for (int row = 0; row < grid.GetRowCount(); ++row) {
            remaining.push_back(grid.GetCell(0, row)->GetAsString().toInt());
            if (grid.Cells().Row(row).Selected) {
                EXPECT_EQ(flagged, -1) << c.name << ": two rows flagged";
                flagged = row;
            }
        }
        EXPECT_EQ(remaining, c.remaining) << c.name;
        EXPECT_EQ(grid.GetSelectedRow(), c.expectSelected) << c.name;
        EXPECT_EQ(flagged, c.expectSelected) << c.name;
        std::vector<std::pair<int, int>> reported;
        for (const auto& args : deleted)
            reported.emplace_back(args[0].toInt(), args[1].toInt());
        EXPECT_EQ(reported, c.reported) << c.name;
        EXPECT_EQ(dataChanges.count(), c.reported.empty() ? 0 : 1) << c.name;
        // The rows left are still in sorted order, so a second sort may
        // simply reverse them.
        EXPECT_TRUE(grid.Cells().SortMemory().StillSorted) << c.name;
    }
}

TEST(DeleteRowsTest, ClearRowsEmptiesTheTable)
{
    TNextGrid grid;
    testing::ConfigureAsFileTable(grid);
    grid.AddRow(4);
    grid.SetSelectedRow(2);
    grid.ClearRows();
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetSelectedRow(), -1);
    EXPECT_EQ(grid.Cells().VisibleRowCount(), 0);
    EXPECT_THROW(grid.GetCell(0, 0), EListError);
    EXPECT_EQ(grid.AddRow(1), 0);
}

TEST(MarkingTest, RemovingKeepsTheRowsInViewAndMarksFromTheFirstRemovedRowDown)
{
    ShownFileTable table(900, 18 + 17 * 5 + 2);   // five whole rows
    table.AddRows(30);
    for (int row = 0; row < 30; ++row)
        table.grid->GetCell(0, row)->SetAsString(QString::number(row));
    table.grid->verticalScrollBar()->setValue(10);
    table.grid->SetSelectedRow(12);
    QCoreApplication::processEvents();

    table.grid->DeleteRows({2, 3});   // above the view
    EXPECT_EQ(table.grid->FirstRowInView(), 8);
    EXPECT_EQ(table.grid->GetCell(0, 8)->GetAsString(), QStringLiteral("10"));
    EXPECT_EQ(table.grid->verticalScrollBar()->maximum(), 28 - 5);
    EXPECT_EQ(table.grid->GetSelectedRow(), 10);

    QCoreApplication::processEvents();
    PaintRecorder recorder(table.grid->viewport());
    table.grid->DeleteRow(10);   // the selected row, third in view
    QCoreApplication::processEvents();
    const QRect viewport = table.grid->viewport()->rect();
    const int top = 18 + 2 * 17;
    EXPECT_EQ(recorder.Union(), QRegion(QRect(0, top, viewport.width(), viewport.height() - top)));
    EXPECT_EQ(table.grid->GetCell(0, table.grid->GetSelectedRow())->GetAsString(), QStringLiteral("13"));

    recorder.paints.clear();
    table.grid->BeginUpdate();
    table.grid->DeleteRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.paints.empty());
    EXPECT_EQ(table.grid->verticalScrollBar()->maximum(), 27 - 5);   // not recomputed yet
    table.grid->EndUpdate(true);
    EXPECT_EQ(table.grid->verticalScrollBar()->maximum(), 7 - 5);
    EXPECT_EQ(table.grid->FirstRowInView(), 2);
}

TEST(UpdateBracketTest, CounterNestsAndNeverGoesBelowZero)
{
    TNextGrid grid;
    grid.EndUpdate();
    EXPECT_FALSE(grid.IsUpdating());
    grid.BeginUpdate();
    grid.BeginUpdate();
    grid.EndUpdate();
    EXPECT_TRUE(grid.IsUpdating());
    grid.EndUpdate(false);
    EXPECT_FALSE(grid.IsUpdating());
    grid.BeginUpdate();
    EXPECT_TRUE(grid.IsUpdating());
}

TEST(MarkingTest, CellChangeMarksOnlyThatCellAndPaintsLater)
{
    ShownFileTable table;
    table.AddRows(5);
    QCoreApplication::processEvents();
    PaintRecorder recorder(table.grid->viewport());
    QSignalSpy changes(table.grid, &TNextGrid::OnChange);

    table.grid->GetCell(2, 3)->SetAsFloat(45.5);
    EXPECT_TRUE(recorder.paints.empty());   // marked, not painted
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toInt(), 2);
    EXPECT_EQ(changes[0][1].toInt(), 3);

    QCoreApplication::processEvents();
    const QRect expected(306 + 124, 18 + 3 * 17, 77, 17);   // cell with right and bottom grid line
    EXPECT_EQ(recorder.Union(), QRegion(expected));
}

TEST(MarkingTest, InsideBracketNothingIsMarkedAndEndUpdateMarksAll)
{
    ShownFileTable table;
    table.AddRows(3);
    QCoreApplication::processEvents();
    PaintRecorder recorder(table.grid->viewport());
    QSignalSpy changes(table.grid, &TNextGrid::OnChange);

    table.grid->BeginUpdate();
    table.grid->GetCell(0, 1)->SetAsString(QStringLiteral("C:/a.txt"));
    table.grid->GetCell(2, 1)->SetAsInteger(50);
    for (int i = 0; i < 100; ++i)
        table.grid->AddRow(1);
    table.grid->SetSelectedRow(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.paints.empty());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(table.grid->verticalScrollBar()->maximum(), 0);   // not recomputed yet

    table.grid->EndUpdate(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.paints.empty());

    table.grid->BeginUpdate();
    table.grid->EndUpdate(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.Union(), QRegion(table.grid->viewport()->rect()));
    EXPECT_EQ(table.grid->verticalScrollBar()->maximum(), 103 - table.grid->WhollyVisibleRowCount());
}

TEST(MarkingTest, SelectionMarksTheTwoRowsInvolved)
{
    ShownFileTable table;
    table.AddRows(6);
    table.grid->SetSelectedRow(1);
    QCoreApplication::processEvents();
    PaintRecorder recorder(table.grid->viewport());
    table.grid->SetSelectedRow(4);
    QCoreApplication::processEvents();
    const int width = table.grid->viewport()->width();
    EXPECT_EQ(recorder.Union(), QRegion(0, 18 + 17, width, 17) + QRegion(0, 18 + 4 * 17, width, 17));
}

TEST(MarkingTest, RefreshCellIgnoresPositionsOutsideTheTable)
{
    ShownFileTable table;
    table.AddRows(2);
    QCoreApplication::processEvents();
    PaintRecorder recorder(table.grid->viewport());
    table.grid->RefreshCell(4, 0);
    table.grid->RefreshCell(0, 2);
    table.grid->RefreshCell(-1, -1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(recorder.paints.empty());
}

TEST(MarkingTest, PaintRequestInsideBracketDrawsNothing)
{
    ShownFileTable table;
    table.AddRows(2);
    auto render = [&] {
        QImage image(table.grid->viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        table.grid->viewport()->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    };
    table.grid->BeginUpdate();
    const QImage during = render();
    table.grid->EndUpdate(false);
    const QImage after = render();
    EXPECT_EQ(during.pixelColor(10, 5), QColor(Qt::magenta));
    EXPECT_EQ(during.pixelColor(10, 30), QColor(Qt::magenta));
    EXPECT_NE(after.pixelColor(10, 5), QColor(Qt::magenta));
    EXPECT_NE(after.pixelColor(10, 30), QColor(Qt::magenta));
}

} // namespace
} // namespace vantrel::grid
