// Sorting by header clicks, headless: the click and its direction flips,
// the exact reversal of an unchanged order and the fresh sort after a
// change, numeric order, switching columns, the selection, the press that is
// a click and the press that is a drag, and header input while disabled.
#include "file_table_fixture.h"
#include <algorithm>
#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <vector>

namespace vantrel::grid {
namespace {

using testing::Mouse;
using testing::ShownFileTable;

enum Col { Source = 0, Status = 1, Progress = 2, Decoded = 3 };

QPoint HeaderPoint(const TNextGrid& grid, int col, int dx = 0, int dy = 0)
{
    const QRect r = grid.HeaderRect(grid.Columns()[col]);
    return QPoint(r.left() + r.width() / 2 + dx, 8 + dy);
}

struct SortTable : ShownFileTable {
    using ShownFileTable::ShownFileTable;
    void Fill(const std::vector<QString>& paths, const std::vector<QString>& statuses = {})
    {
        for (size_t r = 0; r < paths.size(); ++r) {
            const int row = grid->AddRow(1);
            grid->GetCell(Source, row)->SetAsString(paths[r]);
            if (r < statuses.size())
                grid->GetCell(Status, row)->SetAsString(statuses[r]);
        }
    }
    void Click(int col) { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, HeaderPoint(*grid, col)); }
    std::vector<QString> Texts(int col) const
    {
        std::vector<QString> texts;
        for (int r = 0; r < grid->GetRowCount(); ++r)
            texts.push_back(grid->GetCell(col, r)->GetAsString());
        return texts;
    }
    std::vector<const TCell*> Objects(int col) const
    {
        std::vector<const TCell*> objects;
        for (int r = 0; r < grid->GetRowCount(); ++r)
            objects.push_back(grid->GetCell(col, r));
        return objects;
    }
    TNxCustomColumn& Column(int col) const { return grid->Columns()[col]; }
};

const std::vector<QString> kPaths = {"C:/b.txt", "C:/B.txt", "C:/a.txt", "C:/A.txt", "C:/Ba.txt"};

TEST(HeaderSortTest, FirstClickSortsAscendingOrdinallyLaterClicksFlipTheDirection)
{
    SortTable table;
    table.Fill(kPaths);
    QSignalSpy clicks(table.grid, &TNextGrid::OnHeaderClick);
    QSignalSpy sorts(table.grid, &TNextGrid::OnSortColumn);
    QSignalSpy afterSorts(table.grid, &TNextGrid::OnAfterSort);

    table.Click(Source);
    EXPECT_EQ(table.Texts(Source), (std::vector<QString>{"C:/A.txt", "C:/B.txt", "C:/Ba.txt", "C:/a.txt", "C:/b.txt"}));
    EXPECT_TRUE(table.Column(Source).Sorted());
    EXPECT_EQ(table.Column(Source).SortKind(), skAscending);
    EXPECT_EQ(table.grid->SortedColumn(), &table.Column(Source));

    table.Click(Source);
    EXPECT_EQ(table.Texts(Source), (std::vector<QString>{"C:/b.txt", "C:/a.txt", "C:/Ba.txt", "C:/B.txt", "C:/A.txt"}));
    EXPECT_EQ(table.Column(Source).SortKind(), skDescending);

    table.Click(Source);
    EXPECT_EQ(table.Column(Source).SortKind(), skAscending);
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/A.txt"));

    ASSERT_EQ(clicks.count(), 3);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), Source);
    ASSERT_EQ(sorts.count(), 3);
    EXPECT_EQ(sorts.at(1).at(1).toBool(), false);   // the second sort was descending
    EXPECT_EQ(afterSorts.count(), 3);
}

TEST(HeaderSortTest, AnUnchangedOrderIsReversedExactlyEvenAmongEqualKeys)
{
    SortTable table;
    std::vector<QString> paths, statuses;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(QStringLiteral("C:/f%1.txt").arg(i));
        statuses.push_back(i % 3 == 0 ? QStringLiteral("Decoded") : i % 3 == 1 ? QString() : QStringLiteral("Not decoded"));
    }
    table.Fill(paths, statuses);
    table.Click(Status);
    const auto ascending = table.Objects(Status);
    EXPECT_EQ(table.Texts(Status).front(), QString());
    EXPECT_EQ(table.Texts(Status).back(), QStringLiteral("Not decoded"));

    table.Click(Status);
    auto reversed = ascending;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(table.Objects(Status), reversed);

    table.Click(Status);
    EXPECT_EQ(table.Objects(Status), ascending);
}

TEST(HeaderSortTest, AfterACellChangeTheNextClickSortsAfreshInTheOtherDirection)
{
    SortTable table;
    table.Fill(kPaths);
    table.Click(Source);
    // A reversal would leave the changed row where it is, at the end.
    table.grid->GetCell(Source, 0)->SetAsString(QStringLiteral("C:/zzz.txt"));
    table.grid->GetCell(Status, 1)->SetAsString(QStringLiteral("Decoded"));
    table.Click(Source);
    EXPECT_EQ(table.Column(Source).SortKind(), skDescending);
    EXPECT_EQ(table.Texts(Source),
              (std::vector<QString>{"C:/zzz.txt", "C:/b.txt", "C:/a.txt", "C:/Ba.txt", "C:/B.txt"}));
}

TEST(HeaderSortTest, ProgressSortsByValue)
{
    SortTable table;
    table.Fill({"C:/1", "C:/2", "C:/3", "C:/4"});
    const double values[] = {100, 9.5, 10, 0};
    for (int r = 0; r < 4; ++r)
        table.grid->GetCell(Progress, r)->SetAsFloat(values[r]);
    table.Click(Progress);
    EXPECT_EQ(table.Texts(Progress), (std::vector<QString>{"0", "9.5", "10", "100"}));
    EXPECT_EQ(table.Texts(Source), (std::vector<QString>{"C:/4", "C:/2", "C:/3", "C:/1"}));
}

TEST(HeaderSortTest, SortingAnotherColumnClearsTheOldArrowWhichKeepsItsDirection)
{
    SortTable table;
    table.Fill(kPaths, {"Decoding", "Decoded", "", "Not decoded", "Decoded"});
    const QRect sourceHeader = table.grid->HeaderRect(table.Column(Source));
    const QImage plain = table.grid->viewport()->grab(sourceHeader).toImage();

    table.Click(Source);
    table.Click(Source);   // descending
    QCoreApplication::processEvents();
    EXPECT_NE(table.grid->viewport()->grab(sourceHeader).toImage(), plain);   // the arrow shows

    table.Click(Status);
    QCoreApplication::processEvents();
    EXPECT_FALSE(table.Column(Source).Sorted());
    EXPECT_EQ(table.Column(Source).SortKind(), skDescending);
    EXPECT_TRUE(table.Column(Status).Sorted());
    EXPECT_EQ(table.grid->SortedColumn(), &table.Column(Status));
    EXPECT_EQ(table.Texts(Status), (std::vector<QString>{"", "Decoded", "Decoded", "Decoding", "Not decoded"}));
    EXPECT_EQ(table.grid->viewport()->grab(sourceHeader).toImage(), plain);

    table.Click(Source);   // comes back in the direction it kept
    EXPECT_EQ(table.Column(Source).SortKind(), skDescending);
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/b.txt"));
    EXPECT_FALSE(table.Column(Status).Sorted());
}

TEST(HeaderSortTest, TheSelectedRowFollowsItsRowAndIsScrolledIntoView)
{
    SortTable table(900, 18 + 17 * 5 + 2);   // five rows in view
    std::vector<QString> paths;
    for (int i = 0; i < 30; ++i)
        paths.push_back(QStringLiteral("C:/%1.txt").arg(QChar(QLatin1Char('a' + i % 26))) + QString::number(i));
    table.Fill(paths);
    table.grid->SetSelectedRow(1);   // "C:/b.txt1"
    QSignalSpy selects(table.grid, &TNextGrid::OnSelectCell);
    table.Click(Source);
    table.Click(Source);   // descending: the row moves far down
    const int row = table.grid->GetSelectedRow();
    EXPECT_EQ(table.grid->GetCell(Source, row)->GetAsString(), QStringLiteral("C:/b.txt1"));
    EXPECT_TRUE(table.grid->Cells().Row(row).Selected);
    int flagged = 0;
    for (int r = 0; r < table.grid->GetRowCount(); ++r)
        flagged += table.grid->Cells().Row(r).Selected ? 1 : 0;
    EXPECT_EQ(flagged, 1);
    EXPECT_GE(row, table.grid->FirstRowInView());
    EXPECT_LT(row, table.grid->FirstRowInView() + table.grid->WhollyVisibleRowCount());
    EXPECT_GT(table.grid->FirstRowInView(), 0);
    EXPECT_GE(selects.count(), 2);
}

TEST(HeaderSortTest, WithNoRowsASortOnlyMarksTheHeader)
{
    SortTable table;
    table.Click(Source);
    EXPECT_TRUE(table.Column(Source).Sorted());
    EXPECT_EQ(table.grid->GetSelectedRow(), -1);
}

struct PressMove {
    const char* name;
    int dx;
    int dy;
    bool sorts;
};

class DragThresholdTest : public ::testing::TestWithParam<PressMove> {};

TEST_P(DragThresholdTest, ThreePixelsOrLessIsAClickMoreIsADrag)
{
    const PressMove& c = GetParam();
    SortTable table;
    table.Fill(kPaths);
    Mouse mouse(table.grid->viewport());
    const QPoint from = HeaderPoint(*table.grid, Source);
    mouse.Press(from);
    mouse.MoveTo(from + QPoint(c.dx, c.dy));
    mouse.Release(from + QPoint(c.dx, c.dy));
    EXPECT_EQ(table.Column(Source).Sorted(), c.sorts);
    EXPECT_EQ(table.Texts(Source).front(), c.sorts ? QStringLiteral("C:/A.txt") : kPaths.front());
    // A drag released over its own header moves and hides nothing.
    EXPECT_EQ(table.Column(Source).Position(), 0);
    EXPECT_TRUE(table.Column(Source).Visible());
    EXPECT_EQ(table.grid->PressedHeader(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Moves, DragThresholdTest,
                         ::testing::Values(PressMove{"Right3", 3, 0, true}, PressMove{"Down3", 0, 3, true},
                                           PressMove{"Diagonal3", -3, -3, true}, PressMove{"Right4", 4, 0, false},
                                           PressMove{"Up4", 0, -4, false}, PressMove{"Left40", -40, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HeaderClickTest, WhileHeldTheHeaderLooksPressedAndTheReleaseAnywhereEndsIt)
{
    SortTable table;
    table.Fill(kPaths);
    Mouse mouse(table.grid->viewport());
    QSignalSpy clicks(table.grid, &TNextGrid::OnHeaderClick);
    const QPoint at(150, 16);
    mouse.Press(at);
    EXPECT_EQ(table.grid->PressedHeader(), &table.Column(Source));
    const QImage held = table.Shot();
    EXPECT_EQ(held.pixelColor(150, 0), QColor(0xAF, 0xD2, 0xFF));   // gradient reversed
    EXPECT_EQ(held.pixelColor(400, 0), QColor(0xFF, 0xFF, 0xFF));
    mouse.MoveTo(QPoint(150, 19));   // 3 px: still a press, now over the body
    mouse.Release(QPoint(150, 19));
    EXPECT_EQ(table.grid->PressedHeader(), nullptr);
    EXPECT_EQ(table.Shot().pixelColor(150, 0), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(clicks.count(), 1);                 // a click wherever it ends,
    EXPECT_FALSE(table.Column(Source).Sorted());   // but a sort only over its header
}

TEST(HeaderClickTest, RightButtonAndColumnsThatCannotSortOrClick)
{
    SortTable table;
    table.Fill(kPaths);
    QSignalSpy clicks(table.grid, &TNextGrid::OnHeaderClick);
    QTest::mouseClick(table.grid->viewport(), Qt::RightButton, {}, HeaderPoint(*table.grid, Source));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(table.Column(Source).Sorted());

    table.Column(Source).SetOptions(table.Column(Source).Options() & ~TColumnOptions(coCanSort));
    table.Click(Source);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(table.Column(Source).Sorted());
    EXPECT_EQ(table.Texts(Source), kPaths);

    table.Column(Status).SetOptions(table.Column(Status).Options() & ~TColumnOptions(coCanClick));
    Mouse(table.grid->viewport()).Press(HeaderPoint(*table.grid, Status));
    EXPECT_EQ(table.grid->PressedHeader(), nullptr);
    Mouse(table.grid->viewport()).Release(HeaderPoint(*table.grid, Status));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(table.Column(Status).Sorted());
}

TEST(HeaderClickTest, AColumnThatCannotMoveStillSortsAfterALongerPress)
{
    SortTable table;
    table.Fill(kPaths);
    table.Column(Source).SetOptions(table.Column(Source).Options() | coDisableMoving);
    Mouse mouse(table.grid->viewport());
    mouse.Drag(HeaderPoint(*table.grid, Source), HeaderPoint(*table.grid, Source, 40, 0));
    EXPECT_TRUE(table.Column(Source).Sorted());
    EXPECT_EQ(table.Column(Source).Position(), 0);
}

TEST(ColumnSortPropertiesTest, SortedSortKindAndUnsortedReachTheRows)
{
    SortTable table;
    table.Fill(kPaths, {"b", "c", "a", "e", "d"});
    table.Column(Status).SetSorted(true);
    EXPECT_EQ(table.Texts(Status), (std::vector<QString>{"a", "b", "c", "d", "e"}));
    table.Column(Source).SetSorted(true);
    EXPECT_FALSE(table.Column(Status).Sorted());
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/A.txt"));
    table.Column(Source).SetSortKind(skDescending);
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/b.txt"));
    table.Column(Status).SetSortKind(skDescending);   // not sorted: only remembered
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/b.txt"));
    table.Column(Source).SetSorted(false);
    EXPECT_EQ(table.grid->SortedColumn(), nullptr);
    EXPECT_EQ(table.Texts(Source).front(), QStringLiteral("C:/b.txt"));   // the order stays
}

TEST(HeaderInteractionSwitchTest, WhileDisabledClicksDragsAndEdgesDoNothing)
{
    SortTable table;
    table.Fill(kPaths);
    QSignalSpy clicks(table.grid, &TNextGrid::OnHeaderClick);
    Mouse mouse(table.grid->viewport());
    table.grid->SetHeaderInteractionEnabled(false);

    table.Click(Source);
    mouse.Drag(HeaderPoint(*table.grid, Status), HeaderPoint(*table.grid, Decoded, 30));
    mouse.Drag(HeaderPoint(*table.grid, Status), QPoint(368, 200));
    mouse.Drag(QPoint(306, 8), QPoint(250, 8));
    mouse.DoubleClick(QPoint(830, 8));
    mouse.MoveTo(QPoint(306, 8));
    EXPECT_FALSE(table.grid->viewport()->testAttribute(Qt::WA_SetCursor));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(table.Column(Source).Sorted());
    EXPECT_EQ(table.Column(Status).Position(), 1);
    EXPECT_TRUE(table.Column(Status).Visible());
    EXPECT_EQ(table.Column(Source).Width(), 306);
    EXPECT_EQ(table.Column(Decoded).Width(), 323);

    // Switching off in the middle of a press drops it: the release sorts nothing.
    table.grid->SetHeaderInteractionEnabled(true);
    mouse.Press(HeaderPoint(*table.grid, Source));
    table.grid->SetHeaderInteractionEnabled(false);
    mouse.Release(HeaderPoint(*table.grid, Source));
    EXPECT_FALSE(table.Column(Source).Sorted());
    EXPECT_EQ(table.grid->PressedHeader(), nullptr);

    table.grid->SetHeaderInteractionEnabled(true);
    table.Click(Source);
    EXPECT_TRUE(table.Column(Source).Sorted());
}

} // namespace
} // namespace vantrel::grid
