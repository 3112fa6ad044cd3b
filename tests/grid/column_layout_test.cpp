// Column layout by the header, headless: resizing by the edge with its
// tolerance, lines, floor and single repaint; fitting by double-click;
// moving by dragging a header and hiding by dropping it outside the header
// band; and the tool tip of cut cells.
#include "file_table_fixture.h"
#include "grid/cell_hint.h"
#include <QCursor>
#include <QFontMetrics>
#include <QLabel>
#include <QHelpEvent>
#include <QSignalSpy>
#include <QToolTip>
#include <gtest/gtest.h>
#include <cmath>

namespace vantrel::grid {
namespace {

using testing::Mouse;
using testing::PaintRecorder;
using testing::ShownFileTable;

enum Col { Source = 0, Status = 1, Progress = 2, Decoded = 3 };

// Default layout: Source 0..305, Status 306..429, Progress 430..506,
// Decoded files 507..829; right edges at 306, 430, 507, 830.
struct LayoutTable : ShownFileTable {
    using ShownFileTable::ShownFileTable;
    TNxCustomColumn& Column(int col) const { return grid->Columns()[col]; }
    QWidget* Viewport() const { return grid->viewport(); }
    Qt::CursorShape Cursor() const
    {
        return Viewport()->testAttribute(Qt::WA_SetCursor) ? Viewport()->cursor().shape() : Qt::ArrowCursor;
    }
    void SetRow(int row, const QString& source, const QString& decoded)
    {
        while (grid->GetRowCount() <= row)
            grid->AddRow(1);
        grid->GetCell(Source, row)->SetAsString(source);
        grid->GetCell(Decoded, row)->SetAsString(decoded);
    }
};

// Text widths are fractional; a cell needs the whole pixel to draw it uncut.
int TextWidth(const QFont& font, const QString& text)
{
    return static_cast<int>(std::ceil(QFontMetricsF(font).horizontalAdvance(text)));
}

bool IsBlack(const QColor& c)
{
    return c.red() == 0 && c.green() == 0 && c.blue() == 0;
}

struct HoverCase {
    int x;
    bool onEdge;
};

class EdgeToleranceTest : public ::testing::TestWithParam<HoverCase> {};

TEST_P(EdgeToleranceTest, SplitCursorFromThreeLeftToTwoRightOfTheEdge)
{
    LayoutTable table;
    Mouse mouse(table.Viewport());
    mouse.MoveTo(QPoint(GetParam().x, 9));
    EXPECT_EQ(table.Cursor() == Qt::SplitHCursor, GetParam().onEdge);
    mouse.MoveTo(QPoint(GetParam().x, 30));   // the body has no edges
    EXPECT_EQ(table.Cursor(), Qt::ArrowCursor);
}

INSTANTIATE_TEST_SUITE_P(AroundTheSourceEdge, EdgeToleranceTest,
                         ::testing::Values(HoverCase{302, false}, HoverCase{303, true}, HoverCase{306, true},
                                           HoverCase{308, true}, HoverCase{309, false}));

TEST(ColumnResizeTest, DraggingTheEdgeShowsTwoLinesAndTakesTheWidthOnRelease)
{
    LayoutTable table;
    table.AddRows(3);
    QSignalSpy resizes(table.grid, &TNextGrid::OnColumnResize);
    Mouse mouse(table.Viewport());
    mouse.Press(QPoint(307, 9));
    EXPECT_EQ(table.grid->PressedHeader(), nullptr);   // an edge press is no header press
    mouse.MoveTo(QPoint(400, 9));
    EXPECT_EQ(table.Column(Source).Width(), 306);      // only the lines move until release
    QCoreApplication::processEvents();

    // Over the white space below the rows the inverted lines are black: the
    // Source column's left edge and its would-be right edge, one pixel left
    // of the mouse (the new width runs up to the mouse).
    const QImage dragging = table.Shot();
    EXPECT_TRUE(IsBlack(dragging.pixelColor(0, 200)));
    EXPECT_TRUE(IsBlack(dragging.pixelColor(399, 200)));
    EXPECT_FALSE(IsBlack(dragging.pixelColor(398, 200)));
    EXPECT_FALSE(IsBlack(dragging.pixelColor(400, 200)));

    // Further moves repaint nothing but the two one-pixel strips of the right line.
    PaintRecorder paints(table.Viewport());
    mouse.MoveTo(QPoint(420, 300));
    QCoreApplication::processEvents();
    for (const QRegion& region : paints.paints)
        for (const QRect& r : region)
            EXPECT_EQ(r.width(), 1) << "painted " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();

    paints.paints.clear();
    mouse.Release(QPoint(420, 300));
    QCoreApplication::processEvents();
    EXPECT_EQ(table.Column(Source).Width(), 420);
    EXPECT_EQ(resizes.count(), 1);
    EXPECT_EQ(resizes.at(0).at(0).toInt(), Source);
    EXPECT_EQ(paints.paints.size(), 1u);   // one repaint of the table
    EXPECT_EQ(table.grid->CellRect(Status, 0).left(), 420);
    EXPECT_FALSE(IsBlack(table.Shot().pixelColor(0, 200)));
}

TEST(ColumnResizeTest, TheWidthStopsAtEightPixels)
{
    LayoutTable table;
    Mouse mouse(table.Viewport());
    mouse.Drag(QPoint(430, 9), QPoint(-50, 9));   // Status's edge far to the left
    EXPECT_EQ(table.Column(Status).Width(), 8);
    mouse.Drag(QPoint(306 + 8, 9), QPoint(200, 9));
    EXPECT_EQ(table.Column(Status).Width(), 8);
    EXPECT_EQ(table.Column(Source).Width(), 306);   // the first edge in screen order won
}

TEST(ColumnResizeTest, FixedSizeColumnsHaveNoEdge)
{
    LayoutTable table;
    table.Column(Source).SetOptions(table.Column(Source).Options() | coFixedSize);
    Mouse mouse(table.Viewport());
    mouse.MoveTo(QPoint(306, 9));
    EXPECT_EQ(table.Cursor(), Qt::ArrowCursor);
    mouse.Drag(QPoint(305, 9), QPoint(200, 9));
    EXPECT_EQ(table.Column(Source).Width(), 306);
}

TEST(ColumnFitTest, DecodedFilesFitsItsLongestPathButProgressNeverFits)
{
    LayoutTable table;
    const QString longest = QStringLiteral("C:/Users/someone/Documents/letters/Decript/a-rather-long-name-dec(12).txt");
    table.SetRow(0, QStringLiteral("C:/a.txt"), QStringLiteral("C:/short-dec.txt"));
    table.SetRow(1, QStringLiteral("C:/b.txt"), longest);
    table.SetRow(2, QStringLiteral("C:/c.txt"), QString());
    QSignalSpy headerDoubleClicks(table.grid, &TNextGrid::OnHeaderDblClick);
    Mouse mouse(table.Viewport());
    mouse.DoubleClick(QPoint(830, 9));
    EXPECT_EQ(table.Column(Decoded).Width(), TextWidth(table.grid->font(), longest) + 5);
    // Fitted means drawn whole: grid line and text margins take the 5 pixels.
    const QFontMetrics metrics(table.grid->font());
    EXPECT_EQ(metrics.elidedText(longest, Qt::ElideRight, table.Column(Decoded).Width() - 5).toStdString(),
              longest.toStdString());

    mouse.DoubleClick(QPoint(507, 9));
    EXPECT_EQ(table.Column(Progress).Width(), 77);
    // Edges fit; only a double-click inside a header is the header's own.
    EXPECT_EQ(headerDoubleClicks.count(), 0);
    mouse.DoubleClick(QPoint(360, 9));
    ASSERT_EQ(headerDoubleClicks.count(), 1);
    EXPECT_EQ(headerDoubleClicks[0][0].toInt(), 1);
}

TEST(ColumnFitTest, EmptyTextsFitToTheFloorAndThePaddingCountsTwice)
{
    LayoutTable table;
    table.AddRows(2);
    table.Column(Status).SetPadding(3);
    table.grid->BestFitColumn(Status);
    EXPECT_EQ(table.Column(Status).Width(), 8 + 2 * 3);   // the caption is not measured
    table.grid->BestFitColumn(Progress);
    EXPECT_EQ(table.Column(Progress).Width(), 77);
}

TEST(ColumnMoveTest, StatusDroppedOnTheRightHalfOfProgressBecomesThird)
{
    LayoutTable table;
    table.AddRows(2);
    table.grid->GetCell(Status, 1)->SetAsString(QStringLiteral("Decoded"));
    QSignalSpy moves(table.grid, &TNextGrid::OnColumnMove);
    Mouse mouse(table.Viewport());
    mouse.Press(QPoint(368, 9));
    mouse.MoveTo(QPoint(490, 9));
    QCoreApplication::processEvents();
    auto* image = table.grid->findChild<QWidget*>(QStringLiteral("columnDragImage"));
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->isVisible());
    EXPECT_EQ(image->size(), QSize(124, 18));
    // The image keeps the grip point, one header height lower, clear of the arrows.
    EXPECT_EQ(image->pos(), table.Viewport()->mapToGlobal(QPoint(490 - 62, 18)));
    EXPECT_EQ(table.Cursor(), Qt::ArrowCursor);
    const QImage dragging = table.Shot();
    EXPECT_EQ(dragging.pixelColor(507, 0), QColor(0xC0, 0, 0));    // arrows at the landing edge
    EXPECT_EQ(dragging.pixelColor(507, 17), QColor(0xC0, 0, 0));
    mouse.Release(QPoint(490, 9));

    EXPECT_EQ(table.grid->findChild<QWidget*>(QStringLiteral("columnDragImage")), nullptr);
    EXPECT_EQ(table.Column(Source).Position(), 0);
    EXPECT_EQ(table.Column(Progress).Position(), 1);
    EXPECT_EQ(table.Column(Status).Position(), 2);
    EXPECT_EQ(table.Column(Decoded).Position(), 3);
    EXPECT_EQ(table.grid->ColumnAtX(400), &table.Column(Status));
    EXPECT_EQ(table.grid->GetCell(Status, 1)->GetAsString(), QStringLiteral("Decoded"));   // still by Index
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves.at(0).at(1).toInt(), 1);
    EXPECT_EQ(moves.at(0).at(2).toInt(), 2);
    EXPECT_FALSE(table.Column(Status).Sorted());
    EXPECT_NE(table.Shot().pixelColor(507, 0), QColor(0xC0, 0, 0));
}

struct DropCase {
    const char* name;
    int col;
    int dropX;
    int expected[4];   // positions of Source, Status, Progress, Decoded
};

class ColumnDropTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(ColumnDropTest, LandsBeforeTheLeftHalfAndAfterTheRightHalf)
{
    const DropCase& c = GetParam();
    LayoutTable table;
    const QRect header = table.grid->HeaderRect(table.Column(c.col));
    Mouse(table.Viewport()).Drag(header.center(), QPoint(c.dropX, 9));
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(table.Column(col).Position(), c.expected[col]) << "column " << col;
}

INSTANTIATE_TEST_SUITE_P(
    Drops, ColumnDropTest,
    ::testing::Values(DropCase{"DecodedOnLeftHalfOfSource", Decoded, 20, {1, 2, 3, 0}},
                      DropCase{"DecodedOnRightHalfOfSource", Decoded, 200, {0, 2, 3, 1}},
                      DropCase{"SourceOnLeftHalfOfStatus", Source, 320, {0, 1, 2, 3}},
                      DropCase{"SourceOnLeftHalfOfDecoded", Source, 520, {2, 0, 1, 3}},
                      DropCase{"SourceOnRightHalfOfDecoded", Source, 800, {3, 0, 1, 2}},
                      DropCase{"StatusOnItself", Status, 340, {0, 1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColumnHideTest, DroppingBelowTheHeaderBandHidesTheColumnWithItsCellsIntact)
{
    LayoutTable table;
    table.AddRows(1);
    table.grid->GetCell(Status, 0)->SetAsString(QStringLiteral("Decoded"));
    Mouse mouse(table.Viewport());
    mouse.Press(QPoint(368, 9));
    mouse.MoveTo(QPoint(368, 100));
    EXPECT_EQ(table.Cursor(), Qt::ForbiddenCursor);
    mouse.MoveTo(QPoint(860 - 5, 9));   // right of the last header: outside too
    EXPECT_EQ(table.Cursor(), Qt::ForbiddenCursor);
    mouse.MoveTo(QPoint(368, 100));
    mouse.Release(QPoint(368, 100));
    EXPECT_FALSE(table.Column(Status).Visible());
    EXPECT_EQ(table.Cursor(), Qt::ArrowCursor);
    EXPECT_EQ(table.grid->ColumnAtX(310), &table.Column(Progress));   // the gap is closed
    EXPECT_EQ(table.grid->GetCell(Status, 0)->GetAsString(), QStringLiteral("Decoded"));
    EXPECT_FALSE(table.Column(Status).Sorted());
}

TEST(ColumnHideTest, WithoutTheOptionADropOutsideChangesNothing)
{
    LayoutTable table;
    table.grid->SetOptions(table.grid->Options() & ~TGridOptions(goCanHideColumn));
    Mouse(table.Viewport()).Drag(QPoint(368, 9), QPoint(368, 100));
    EXPECT_TRUE(table.Column(Status).Visible());
    EXPECT_EQ(table.Column(Status).Position(), 1);
}

TEST(ColumnMoveTest, TheGridOptionForbidsDragging)
{
    LayoutTable table;
    table.grid->SetOptions(table.grid->Options() | goDisableColumnMoving);
    Mouse(table.Viewport()).Drag(QPoint(368, 9), QPoint(368, 100));
    EXPECT_TRUE(table.Column(Status).Visible());
    EXPECT_EQ(table.grid->findChild<QWidget*>(QStringLiteral("columnDragImage")), nullptr);
}

// ----------------------------------------------------------------- tool tip

struct HintTable : LayoutTable {
    HintTable()
    {
        SetRow(0, QStringLiteral("C:/short.txt"), QString());
        SetRow(1, longPath, QString());
    }
    QLabel* Tip() const { return grid->findChild<QLabel*>(QStringLiteral("cellHint")); }
    bool TipShown() const { return Tip() && Tip()->isVisible(); }
    QPoint CellPoint(int row, int x = 100) const { return QPoint(x, RowTop(row) + 8); }
    const QString longPath = QStringLiteral("C:/") + QString(60, QLatin1Char('x')) + QStringLiteral("/file.txt");
};

TEST(CellHintTest, ACutCellShowsItsWholeTextAtTheCellsCorner)
{
    HintTable table;
    ASSERT_TRUE(table.grid->isActiveWindow());
    Mouse mouse(table.Viewport());
    mouse.MoveTo(table.CellPoint(1));
    ASSERT_TRUE(table.TipShown());
    EXPECT_EQ(table.Tip()->text(), table.longPath);
    EXPECT_EQ(table.Tip()->pos(), table.Viewport()->mapToGlobal(table.grid->CellRect(Source, 1).topLeft()));
    mouse.MoveTo(table.CellPoint(1, 200));   // same cell: nothing new
    EXPECT_TRUE(table.TipShown());

    mouse.MoveTo(table.CellPoint(0));   // fits
    EXPECT_FALSE(table.TipShown());
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_TRUE(table.TipShown());
    mouse.MoveTo(QPoint(100, 9));   // the header is not the body
    EXPECT_FALSE(table.TipShown());
    mouse.MoveTo(table.CellPoint(1));
    mouse.MoveTo(table.CellPoint(5));   // below the last row
    EXPECT_FALSE(table.TipShown());
}

TEST(CellHintTest, ALeaveWithThePointerStillOverTheBodyKeepsTheTip)
{
    // The tip window mapping over the cell can make the window system report
    // a leave; the pointer itself has not moved.
    HintTable table;
    Mouse(table.Viewport()).MoveTo(table.CellPoint(1));
    ASSERT_TRUE(table.TipShown());
    QEvent leave(QEvent::Leave);
    QCursor::setPos(table.Viewport()->mapToGlobal(table.CellPoint(1)));
    QCoreApplication::sendEvent(table.Viewport(), &leave);
    EXPECT_TRUE(table.TipShown());
    QCursor::setPos(table.Viewport()->mapToGlobal(QPoint(-20, -20)));
    QCoreApplication::sendEvent(table.Viewport(), &leave);
    EXPECT_FALSE(table.TipShown());
}

TEST(CellHintTest, TheRuleIsWidthBelowTextPlusFivePixels)
{
    HintTable table;
    const int textWidth = TextWidth(table.grid->font(), table.longPath);
    Mouse mouse(table.Viewport());
    table.Column(Source).SetWidth(textWidth + 5);
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_FALSE(table.TipShown());
    mouse.MoveTo(table.CellPoint(0));
    table.Column(Source).SetWidth(textWidth + 4);
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_TRUE(table.TipShown());
    // Columns without the option (the progress column) never show one.
    table.Column(Source).SetOptions(table.Column(Source).Options() & ~TColumnOptions(coShowTextFitHint));
    mouse.MoveTo(table.CellPoint(0));
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_FALSE(table.TipShown());
}

TEST(CellHintTest, ACellsOwnHintTextIsItsToolTipWhileTheCutTextTipKeepsItsPlace)
{
    HintTable table;
    table.grid->GetCell(Status, 0)->SetHint(QStringLiteral("Permission denied"));
    const auto help = [&](int col, int row) {
        const QRect cell = table.grid->CellRect(col, row);
        QHelpEvent event(QEvent::ToolTip, cell.center(), table.Viewport()->mapToGlobal(cell.center()));
        QCoreApplication::sendEvent(table.Viewport(), &event);
        const QString shown = QToolTip::isVisible() ? QToolTip::text() : QString();
        // hideText() lets the tip linger a moment; the next question needs it gone.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->inherits("QTipLabel"))
                window->hide();
        }
        return shown;
    };

    EXPECT_EQ(help(Status, 0), QStringLiteral("Permission denied"));
    EXPECT_EQ(help(Status, 1), QString());
    Mouse(table.Viewport()).MoveTo(table.CellPoint(1)); // the cut source text
    ASSERT_TRUE(table.TipShown());
    EXPECT_EQ(help(Source, 1), QString());
    EXPECT_TRUE(table.TipShown());
}

TEST(CellHintTest, OnlyWhileTheWindowIsActive)
{
    HintTable table;
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Mouse mouse(table.Viewport());
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_FALSE(table.TipShown());

    table.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&table.window));
    mouse.MoveTo(table.CellPoint(0));
    mouse.MoveTo(table.CellPoint(1));
    EXPECT_TRUE(table.TipShown());
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_FALSE(table.TipShown());
}

TEST(CellHintTest, LongTextIsWrappedToTheClientWidth)
{
    LayoutTable table(400, 200);
    const QString path = QStringLiteral("C:/") + QString(40, QLatin1Char('a')) + QStringLiteral("/") +
                         QString(40, QLatin1Char('b')) + QStringLiteral("/") + QString(40, QLatin1Char('c'));
    table.SetRow(0, path, QString());
    Mouse(table.Viewport()).MoveTo(QPoint(50, table.RowTop(0) + 8));
    auto* tip = table.grid->findChild<QLabel*>(QStringLiteral("cellHint"));
    ASSERT_TRUE(tip && tip->isVisible());
    EXPECT_LE(tip->width(), table.Viewport()->width());
    EXPECT_EQ(tip->text().remove(QLatin1Char('\n')), path);
    EXPECT_GT(tip->text().count(QLatin1Char('\n')), 0);
}

struct WrapCase {
    const char* name;
    const char* text;
    int widthInChars;   // a fixed-pitch font makes this exact
    const char* wrapped;
};

class WrapToWidthTest : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapToWidthTest, BreaksAfterSeparatorsElseAnywhere)
{
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    const QFontMetrics metrics(font);
    ASSERT_EQ(metrics.horizontalAdvance(QStringLiteral("C:/ a.tx")), metrics.horizontalAdvance(QStringLiteral("xxxxxxxx")));
    const int width = metrics.horizontalAdvance(QString(GetParam().widthInChars, QLatin1Char('x')));
    EXPECT_EQ(TGridCellHint::WrapToWidth(QString::fromUtf8(GetParam().text), metrics, width).toStdString(),
              GetParam().wrapped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapToWidthTest,
    ::testing::Values(WrapCase{"Fits", "C:/a/b.txt", 10, "C:/a/b.txt"},
                      WrapCase{"AfterSlash", "C:/abc/defgh.txt", 8, "C:/abc/\ndefgh.tx\nt"},
                      WrapCase{"NoSeparator", "abcdefghij", 4, "abcd\nefgh\nij"},
                      WrapCase{"Blank", "one two three", 9, "one two \nthree"},
                      WrapCase{"SeparatorAtTheLineEnd", "abc/defg", 4, "abc/\ndefg"},
                      WrapCase{"NarrowerThanOneCharacter", "abc", 0, "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vantrel::grid
