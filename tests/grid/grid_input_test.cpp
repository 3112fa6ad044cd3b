// Selection by mouse and keys, including the cases without a selection,
// and scrolling by keys, wheel and scroll bars.
#include "file_table_fixture.h"
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace vantrel::grid {
namespace {

using testing::ShownFileTable;

QPoint CellPoint(const ShownFileTable& t, int x, int row)
{
    return QPoint(x, t.RowTop(row) + 8);
}

TEST(MouseSelectionTest, LeftAndRightButtonsSelectMiddleDoesNot)
{
    ShownFileTable table;
    table.AddRows(5);
    QWidget* vp = table.grid->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, CellPoint(table, 50, 2));
    EXPECT_EQ(table.grid->GetSelectedRow(), 2);
    EXPECT_EQ(table.grid->GetSelectedColumn(), 0);
    QTest::mouseClick(vp, Qt::RightButton, {}, CellPoint(table, 400, 4));
    EXPECT_EQ(table.grid->GetSelectedRow(), 4);
    EXPECT_EQ(table.grid->GetSelectedColumn(), 1);
    QTest::mouseClick(vp, Qt::MiddleButton, {}, CellPoint(table, 50, 1));
    EXPECT_EQ(table.grid->GetSelectedRow(), 4);
}

TEST(MouseSelectionTest, BelowTheLastRowAndInTheHeaderTheSelectionStays)
{
    ShownFileTable table;
    table.AddRows(3);
    QWidget* vp = table.grid->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, CellPoint(table, 50, 1));
    QTest::mouseClick(vp, Qt::LeftButton, {}, CellPoint(table, 50, 6));
    QTest::mouseClick(vp, Qt::RightButton, {}, QPoint(50, 5));
    EXPECT_EQ(table.grid->GetSelectedRow(), 1);
    // Right of the last column the row is still selected, keeping the column.
    QTest::mouseClick(vp, Qt::LeftButton, {}, CellPoint(table, 845, 2));
    EXPECT_EQ(table.grid->GetSelectedRow(), 2);
    EXPECT_EQ(table.grid->GetSelectedColumn(), 0);
}

TEST(MouseSelectionTest, PartlyHiddenRowIsScrolledIntoView)
{
    ShownFileTable table(900, 18 + 17 * 5 + 10 + 2);   // five whole rows and part of a sixth
    table.AddRows(20);
    const int capacity = table.grid->WhollyVisibleRowCount();
    ASSERT_EQ(capacity, 5);
    QTest::mouseClick(table.grid->viewport(), Qt::LeftButton, {}, CellPoint(table, 50, 5));
    EXPECT_EQ(table.grid->GetSelectedRow(), 5);
    EXPECT_EQ(table.grid->FirstRowInView(), 1);
}

TEST(MouseSelectionTest, DoubleClickRaisesOnDblClickAndSelectsOnlyOnce)
{
    ShownFileTable table;
    table.AddRows(3);
    QSignalSpy dbl(table.grid, &TNextGrid::OnDblClick);
    QSignalSpy cellDbl(table.grid, &TNextGrid::OnCellDblClick);
    QSignalSpy selects(table.grid, &TNextGrid::OnSelectCell);
    // A real double-click is a click followed by the double-click press.
    QTest::mouseClick(table.grid->viewport(), Qt::LeftButton, {}, CellPoint(table, 50, 1));
    QTest::mouseDClick(table.grid->viewport(), Qt::LeftButton, {}, CellPoint(table, 50, 1));
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(cellDbl.count(), 1);
    EXPECT_EQ(table.grid->GetSelectedRow(), 1);
    EXPECT_EQ(selects.count(), 1);
}

TEST(MouseSelectionTest, PressTakesTheFocusFromAnotherControl)
{
    ShownFileTable table;
    table.AddRows(2);
    QLineEdit edit(&table.window);
    edit.setGeometry(0, 480, 100, 20);
    edit.show();
    edit.setFocus();
    QCoreApplication::processEvents();
    ASSERT_FALSE(table.grid->hasFocus());
    QTest::mouseClick(table.grid->viewport(), Qt::LeftButton, {}, CellPoint(table, 50, 0));
    EXPECT_TRUE(table.grid->hasFocus());
}

TEST(RowMenuTest, AskedForOverTheBodyAndFromTheKeyboardNeverOverTheHeader)
{
    ShownFileTable table;
    table.AddRows(3);
    table.grid->SetSelectedRow(1);
    QWidget* vp = table.grid->viewport();
    QSignalSpy menus(table.grid, &TNextGrid::OnRowContextMenu);
    auto askWithMouse = [&](QPoint pos) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, pos, vp->mapToGlobal(pos));
        QCoreApplication::sendEvent(vp, &e);
    };
    const QPoint belowSelected = vp->mapToGlobal(QPoint(0, table.RowTop(1) + 16));
    const struct {
        const char* name;
        std::function<void()> ask;
        int expectRow;   // -2: no menu
        QPoint expectAt;
    } cases[] = {
        {"on a row", [&] { askWithMouse(CellPoint(table, 50, 2)); }, 2, vp->mapToGlobal(CellPoint(table, 50, 2))},
        {"below the last row", [&] { askWithMouse(CellPoint(table, 50, 6)); }, -1,
         vp->mapToGlobal(CellPoint(table, 50, 6))},
        {"over the header", [&] { askWithMouse(QPoint(50, 5)); }, -2, {}},
        {"menu key", [&] { QTest::keyClick(table.grid, Qt::Key_Menu); }, 1, belowSelected},
        {"Shift+F10", [&] { QTest::keyClick(table.grid, Qt::Key_F10, Qt::ShiftModifier); }, 1, belowSelected},
        {"F10 alone", [&] { QTest::keyClick(table.grid, Qt::Key_F10); }, -2, {}},
    };
    for (const auto& c : cases) {
        menus.clear();
        c.ask();
        if (c.expectRow == -2) {
            EXPECT_EQ(menus.count(), 0) << c.name;
            continue;
        }
        ASSERT_EQ(menus.count(), 1) << c.name;
        EXPECT_EQ(menus[0][0].toInt(), c.expectRow) << c.name;
        EXPECT_EQ(menus[0][1].toPoint(), c.expectAt) << c.name;
    }
    EXPECT_EQ(table.grid->GetSelectedRow(), 1);   // asking for a menu selects nothing by itself
}

struct KeyCase {
    const char* name;
    int rows;
    int selected;      // -1: none
    int firstInView;
    Qt::Key key;
    int expectSelected;
    int expectFirst;   // -1: don't care
};

class KeySelectionTest : public ::testing::TestWithParam<KeyCase> {};

// A table with 5 wholly visible rows.
TEST_P(KeySelectionTest, MovesSelectionAsTabled)
{
    const KeyCase& c = GetParam();
    ShownFileTable table(900, 18 + 17 * 5 + 2);
    table.AddRows(c.rows);
    ASSERT_EQ(table.grid->WhollyVisibleRowCount(), 5);
    if (c.selected >= 0)
        table.grid->SetSelectedRow(c.selected);
    table.grid->verticalScrollBar()->setValue(c.firstInView);
    QTest::keyClick(table.grid, c.key);
    EXPECT_EQ(table.grid->GetSelectedRow(), c.expectSelected);
    if (c.expectFirst >= 0) {
        EXPECT_EQ(table.grid->FirstRowInView(), c.expectFirst);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeySelectionTest,
    ::testing::Values(KeyCase{"NoSelectionDown", 10, -1, 0, Qt::Key_Down, -1, 0},
                      KeyCase{"NoSelectionUp", 10, -1, 0, Qt::Key_Up, -1, 0},
                      KeyCase{"NoSelectionHome", 10, -1, 3, Qt::Key_Home, 0, 0},
                      KeyCase{"NoSelectionEnd", 10, -1, 0, Qt::Key_End, 9, 5},
                      KeyCase{"NoSelectionPageDownSelectsLastWhollyVisible", 10, -1, 2, Qt::Key_PageDown, 6, 2},
                      KeyCase{"NoSelectionPageUpAwayFromTop", 10, -1, 2, Qt::Key_PageUp, -1, 2},
                      KeyCase{"NoSelectionPageUpAtTop", 10, -1, 0, Qt::Key_PageUp, 0, 0},
                      KeyCase{"EmptyTableHome", 0, -1, 0, Qt::Key_Home, -1, 0},
                      KeyCase{"DownOnLastRow", 10, 9, 5, Qt::Key_Down, 9, 5},
                      KeyCase{"UpOnFirstRow", 10, 0, 0, Qt::Key_Up, 0, 0},
                      KeyCase{"DownInsideView", 10, 2, 0, Qt::Key_Down, 3, 0},
                      KeyCase{"DownPastLastWhollyVisibleScrollsOne", 10, 4, 0, Qt::Key_Down, 5, 1},
                      KeyCase{"UpAboveFirstInViewScrollsOne", 10, 3, 3, Qt::Key_Up, 2, 2},
                      KeyCase{"UpWithTheViewMovedAwayScrollsOneNotToTheRow", 20, 3, 12, Qt::Key_Up, 2, 11},
                      KeyCase{"PageDownToLastWhollyVisible", 20, 1, 0, Qt::Key_PageDown, 4, 0},
                      KeyCase{"PageDownByAPage", 20, 4, 0, Qt::Key_PageDown, 9, 5},
                      KeyCase{"PageDownFewerThanAPageFollow", 20, 16, 12, Qt::Key_PageDown, 19, 15},
                      KeyCase{"PageDownAtEndSelectsLast", 20, 16, 15, Qt::Key_PageDown, 19, 15},
                      KeyCase{"PageDownWhenAllFit", 3, 0, 0, Qt::Key_PageDown, 2, 0},
                      KeyCase{"PageUpAtTopSelectsFirst", 20, 3, 0, Qt::Key_PageUp, 0, 0},
                      KeyCase{"PageUpToFirstInView", 20, 9, 6, Qt::Key_PageUp, 6, 6},
                      KeyCase{"PageUpByAPage", 20, 9, 9, Qt::Key_PageUp, 4, 4},
                      KeyCase{"PageUpNotPastFirst", 20, 3, 3, Qt::Key_PageUp, 0, 0},
                      KeyCase{"CharactersDoNothing", 10, 2, 0, Qt::Key_A, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScrollingTest, BarsShowOnlyWhenNeeded)
{
    ShownFileTable table(900, 18 + 17 * 5 + 2);
    table.AddRows(5);
    QCoreApplication::processEvents();
    EXPECT_FALSE(table.grid->verticalScrollBar()->isVisible());
    table.grid->AddRow(1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(table.grid->verticalScrollBar()->isVisible());

    ShownFileTable narrow(600, 300);
    QCoreApplication::processEvents();
    EXPECT_TRUE(narrow.grid->horizontalScrollBar()->isVisible());   // 830 px of columns in 600
    EXPECT_EQ(narrow.grid->horizontalScrollBar()->maximum(), 830 - narrow.grid->viewport()->width());

    ShownFileTable wide(900, 200);
    wide.AddRows(2);
    QCoreApplication::processEvents();
    EXPECT_FALSE(wide.grid->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(wide.grid->verticalScrollBar()->isVisible());
}

TEST(ScrollingTest, WheelScrollsRowsPagesAndSidewaysWhenNothingScrollsVertically)
{
    ShownFileTable table(600, 300);
    table.AddRows(100);
    QCoreApplication::processEvents();
    const int page = table.grid->WhollyVisibleRowCount();
    QWidget* vp = table.grid->viewport();
    auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(50, 50), QPointF(vp->mapToGlobal(QPoint(50, 50))), QPoint(), QPoint(0, delta),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(vp, &e);
    };
    table.grid->SetSelectedRow(0);
    wheel(-120, {});
    EXPECT_EQ(table.grid->FirstRowInView(), 1);
    wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(table.grid->FirstRowInView(), 1 + page);
    wheel(240, {});
    EXPECT_EQ(table.grid->FirstRowInView(), page - 1);
    wheel(-60, {});
    EXPECT_EQ(table.grid->FirstRowInView(), page - 1);   // half a notch waits for the other half
    wheel(-60, {});
    EXPECT_EQ(table.grid->FirstRowInView(), page);
    EXPECT_EQ(table.grid->GetSelectedRow(), 0);            // scrolling never selects

    ShownFileTable shortTable(600, 300);
    shortTable.AddRows(2);
    QCoreApplication::processEvents();
    QWidget* svp = shortTable.grid->viewport();
    QWheelEvent e(QPointF(50, 50), QPointF(svp->mapToGlobal(QPoint(50, 50))), QPoint(), QPoint(0, -120),
                  Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(svp, &e);
    EXPECT_GT(shortTable.grid->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(shortTable.grid->FirstRowInView(), 0);
}

TEST(ScrollingTest, LeftAndRightScrollSidewaysAndTheBodyFollows)
{
    ShownFileTable table(600, 200);
    table.AddRows(3);
    QTest::keyClick(table.grid, Qt::Key_Right);
    const int step = table.grid->horizontalScrollBar()->value();
    EXPECT_GT(step, 0);
    EXPECT_EQ(table.grid->CellRect(1, 0).left(), 306 - step);
    QTest::keyClick(table.grid, Qt::Key_Left);
    EXPECT_EQ(table.grid->horizontalScrollBar()->value(), 0);
    // The vertical bar counts whole rows: the first row in view is at the top.
    table.grid->AddRow(50);
    QCoreApplication::processEvents();
    table.grid->verticalScrollBar()->setValue(7);
    EXPECT_EQ(table.grid->CellRect(0, 7).top(), 18);
    EXPECT_EQ(table.grid->RowAtY(18 + 17 * 2 + 3), 9);
}

} // namespace
} // namespace vantrel::grid
