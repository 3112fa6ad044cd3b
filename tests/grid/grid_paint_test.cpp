// Pixels of the file table through grab(): header, grid lines, empty rows,
// progress bars and their texts, selection with and without focus.
#include "file_table_fixture.h"
#include <QFontMetrics>
#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace vantrel::grid {
namespace {

using testing::Pixel;
using testing::ShownFileTable;

const QColor kStart(0xFF, 0xFF, 0xFF);
const QColor kEnd(0xAF, 0xD2, 0xFF);
const QColor kBorder(0x65, 0x93, 0xCF);
const QColor kDivider(0x9A, 0xC6, 0xFF);

QColor Base(const TNextGrid& g) { return g.palette().color(QPalette::Base); }
QColor Button(const TNextGrid& g) { return g.palette().color(QPalette::Button); }
QColor Highlight(const TNextGrid& g) { return g.palette().color(QPalette::Highlight); }

TEST(HeaderPaintTest, GradientRowsDividersAndBorderLines)
{
    ShownFileTable table;
    const QImage shot = table.Shot();
    // Row y of 18 is kStart + (kEnd - kStart) * y / 18, halves to even; blue stays 0xFF.
    const int red[17] = {255, 251, 246, 242, 237, 233, 228, 224, 219, 215, 211, 206, 202, 197, 193, 188, 184};
    const int green[17] = {255, 252, 250, 248, 245, 242, 240, 238, 235, 232, 230, 228, 225, 222, 220, 218, 215};
    for (int y = 0; y < 17; ++y)
        EXPECT_EQ(Pixel(shot, 3, y), QColor(red[y], green[y], 0xFF)) << "row " << y;
    for (int x : {0, 150, 305, 700, 829})
        EXPECT_EQ(Pixel(shot, x, 17), kBorder) << "bottom line at " << x;
    for (int divider : {305, 429, 506}) {
        EXPECT_EQ(Pixel(shot, divider, 1), Pixel(shot, divider - 1, 1));
        for (int y = 2; y <= 14; ++y)
            EXPECT_EQ(Pixel(shot, divider, y), kDivider) << divider << "," << y;
        EXPECT_EQ(Pixel(shot, divider, 15), Pixel(shot, divider - 1, 15));
    }
    for (int y = 0; y <= 16; ++y)
        EXPECT_EQ(Pixel(shot, 829, y), kBorder) << "last column line " << y;
    for (int y : {0, 10, 17, 40})
        EXPECT_EQ(Pixel(shot, 840, y), Base(*table.grid)) << "right of the columns " << y;
}

TEST(HeaderPaintTest, ControlHasAOnePixelBorderFrame)
{
    ShownFileTable table;
    const QImage whole = table.grid->grab().toImage();
    for (QPoint p : {QPoint(0, 0), QPoint(whole.width() - 1, 0), QPoint(0, whole.height() - 1),
                     QPoint(whole.width() - 1, whole.height() - 1), QPoint(400, 0), QPoint(0, 200)})
        EXPECT_EQ(Pixel(whole, p.x(), p.y()), kBorder) << p.x() << "," << p.y();
    EXPECT_EQ(table.grid->viewport()->geometry().topLeft(), QPoint(1, 1));
}

TEST(HeaderPaintTest, PressedHeaderReversesItsGradientUntilRelease)
{
    ShownFileTable table;
    QSignalSpy clicks(table.grid, &TNextGrid::OnHeaderClick);
    QTest::mousePress(table.grid->viewport(), Qt::LeftButton, {}, QPoint(320, 8));
    QImage shot = table.Shot();
    EXPECT_EQ(Pixel(shot, 310, 0), kEnd);
    EXPECT_EQ(Pixel(shot, 310, 16), QColor(246, 250, 255));   // row 2 of the upright gradient
    EXPECT_EQ(Pixel(shot, 3, 0), kStart);   // other headers keep theirs
    QTest::mouseRelease(table.grid->viewport(), Qt::LeftButton, {}, QPoint(320, 8));
    shot = table.Shot();
    EXPECT_EQ(Pixel(shot, 310, 0), kStart);
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks[0][0].toInt(), 1);

    table.grid->SetHeaderInteractionEnabled(false);
    QTest::mousePress(table.grid->viewport(), Qt::LeftButton, {}, QPoint(320, 8));
    EXPECT_EQ(Pixel(table.Shot(), 310, 0), kStart);
    QTest::mouseRelease(table.grid->viewport(), Qt::LeftButton, {}, QPoint(320, 8));
    EXPECT_EQ(clicks.count(), 1);
}

int CountPixels(const QImage& image, const QRect& area, const QColor& color)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

TEST(HeaderPaintTest, SortArrowRightOfTheCaptionOnlyWhenItFits)
{
    ShownFileTable table;
    TNxCustomColumn& source = table.grid->Columns()[0];
    source.SetSorted(true);
    QImage shot = table.Shot();
    const int tw = QFontMetrics(table.grid->font()).horizontalAdvance(QStringLiteral("Source files")) + 2;
    const int x = (306 - tw) / 2 + tw + 19;
    EXPECT_EQ(Pixel(shot, x + 4, 5), QColor(0, 0, 0));          // apex, up for ascending
    EXPECT_EQ(Pixel(shot, x, 9), QColor(0, 0, 0));
    EXPECT_EQ(Pixel(shot, x + 8, 9), QColor(0, 0, 0));
    EXPECT_EQ(Pixel(shot, x + 4, 8), QColor(0xA5, 0xAC, 0xB5));
    EXPECT_EQ(CountPixels(shot, QRect(x, 5, 9, 5), QColor(0xA5, 0xAC, 0xB5)), 9);

    source.SetSortKind(skDescending);
    shot = table.Shot();
    EXPECT_EQ(Pixel(shot, x + 4, 9), QColor(0, 0, 0));          // apex at the bottom
    EXPECT_EQ(Pixel(shot, x, 5), QColor(0, 0, 0));

    // Sorting another column takes the arrow away from this one.
    table.grid->Columns()[1].SetSorted(true);
    EXPECT_FALSE(source.Sorted());
    EXPECT_EQ(CountPixels(table.Shot(), QRect(x, 5, 9, 5), QColor(0xA5, 0xAC, 0xB5)), 0);

    TNxCustomColumn& status = table.grid->Columns()[1];
    status.SetWidth(60);   // "Status" + arrow no longer fit
    EXPECT_EQ(CountPixels(table.Shot(), QRect(306, 0, 60, 17), QColor(0xA5, 0xAC, 0xB5)), 0);
}

TEST(BodyPaintTest, GridLinesAndEmptyRowsContinueToTheBottom)
{
    ShownFileTable table;
    table.AddRows(2);
    const QImage shot = table.Shot();
    const QColor grid = Button(*table.grid);
    for (int k : {0, 1, 5, 20}) {   // rows 5 and 20 do not exist
        const int top = 18 + 17 * k;
        EXPECT_EQ(Pixel(shot, 100, top + 16), grid) << "bottom line of row " << k;
        EXPECT_EQ(Pixel(shot, 305, top + 8), grid) << "right line of row " << k;
        EXPECT_EQ(Pixel(shot, 300, top + 8), Base(*table.grid));
    }
}

struct BarCase {
    double value;
    int width;       // expected bar width in pixels (inner area 72)
    QColor last;     // its last pixel column: from the window colour (255, 255, 255) towards the
                     // highlight (0, 120, 215) by (width - 1) / the width it is stretched over (uncut)
};

class ProgressBarPaintTest : public ::testing::TestWithParam<BarCase> {};

TEST_P(ProgressBarPaintTest, BarWidthInTheInnerArea)
{
    ShownFileTable table;
    const QColor window(255, 255, 255);
    QPalette palette = table.grid->palette();
    palette.setColor(QPalette::Base, window);
    palette.setColor(QPalette::Highlight, QColor(0, 120, 215));
    table.grid->setPalette(palette);
    table.AddRows(1);
    table.grid->GetCell(2, 0)->SetAsFloat(GetParam().value);
    const QImage shot = table.Shot();
    const int innerLeft = 306 + 124 + 2;
    const int y = 18 + 2;   // top row of the inner area, clear of the text
    const int w = GetParam().width;
    EXPECT_EQ(Pixel(shot, innerLeft - 2, y), QColor(0xFF, 0xFF, 0xFF));   // box outline
    EXPECT_EQ(Pixel(shot, innerLeft, y), window);                           // gradient starts at the column colour
    if (w > 1) {
        EXPECT_EQ(Pixel(shot, innerLeft + w - 1, y), GetParam().last);
    }
    if (w < 72) {
        EXPECT_EQ(Pixel(shot, innerLeft + w, y), window) << "bar ends after " << w;
    }
    EXPECT_EQ(Pixel(shot, 506, y), Button(*table.grid));   // right grid line
}

INSTANTIATE_TEST_SUITE_P(Values, ProgressBarPaintTest,
                         ::testing::Values(BarCase{50, 36, QColor(7, 124, 216)},       // 35/36
                                           BarCase{100, 72, QColor(4, 122, 216)},      // 71/72
                                           BarCase{45.5, 33, QColor(8, 124, 216)},     // 32/33
                                           BarCase{0, 0, {}},
                                           BarCase{150, 72, QColor(87, 166, 229)},     // 71/108: cut at 72
                                           BarCase{-20, 0, {}}));

QImage CellImage(ShownFileTable& table, int col, int row)
{
    return table.Shot().copy(table.grid->CellRect(col, row));
}

TEST(ProgressTextPaintTest, PercentTextRoundsHalvesAwayFromZero)
{
    ShownFileTable table;
    table.AddRows(1);
    auto cellFor = [&](double v) {
        table.grid->GetCell(2, 0)->SetAsFloat(v);
        return CellImage(table, 2, 0);
    };
    // 45.5 and 46 both draw "46%" over a 33 pixel bar; 45 draws "45%".
    EXPECT_EQ(cellFor(45.5), cellFor(46));
    EXPECT_NE(cellFor(45.5), cellFor(45.4));
    EXPECT_EQ(cellFor(44.4), cellFor(44));
    auto& progress = static_cast<TNxProgressColumn&>(table.grid->Columns()[2]);
    const QImage withText = cellFor(0);
    progress.ShowText = false;
    EXPECT_NE(cellFor(0), withText);   // "0%" is drawn
}

TEST(SelectionPaintTest, SelectedRowLooksSelectedOnlyWithFocus)
{
    ShownFileTable table;
    table.AddRows(3);
    table.grid->GetCell(0, 1)->SetAsString(QStringLiteral("C:/files/a.txt"));
    table.grid->GetCell(2, 1)->SetAsFloat(40);
    table.grid->GetCell(2, 2)->SetAsFloat(40);
    table.grid->SetSelectedRow(1);
    QCoreApplication::processEvents();
    ASSERT_TRUE(table.grid->hasFocus());
    const int top = 18 + 17;
    QImage shot = table.Shot();
    const QColor highlight = Highlight(*table.grid);
    EXPECT_EQ(Pixel(shot, 200, top + 8), highlight);
    EXPECT_EQ(Pixel(shot, 360, top + 8), highlight);
    EXPECT_EQ(Pixel(shot, 200, top + 16), Button(*table.grid));   // grid lines stay
    // The text is drawn in the highlight text colour: lighter than the background here.
    int lighter = 0;
    for (int x = 2; x < 100; ++x)
        for (int y = top + 1; y < top + 15; ++y)
            lighter += shot.pixelColor(x, y).lightness() > highlight.lightness() + 40;
    EXPECT_GT(lighter, 0);
    EXPECT_EQ(CountPixels(shot, QRect(2, top + 1, 100, 14), table.grid->palette().color(QPalette::Text)), 0);
    // The progress cell looks the same selected or not (the focus
    // rectangle's top and bottom rows aside).
    const QRect inside(0, 1, 77, 14);
    EXPECT_EQ(CellImage(table, 2, 1).copy(inside), CellImage(table, 2, 2).copy(inside));
    // Dotted focus rectangle: every other pixel of the outline inverted.
    EXPECT_NE(Pixel(shot, 200, top), highlight);
    EXPECT_EQ(Pixel(shot, 201, top), highlight);

    QLineEdit key(&table.window);
    key.setGeometry(0, 480, 100, 20);
    key.show();
    key.setFocus();
    QCoreApplication::processEvents();
    ASSERT_FALSE(table.grid->hasFocus());
    shot = table.Shot();
    EXPECT_EQ(Pixel(shot, 200, top + 8), Base(*table.grid));
    EXPECT_EQ(Pixel(shot, 200, top), Base(*table.grid));
    EXPECT_EQ(CountPixels(shot, QRect(0, top, 830, 16), highlight), 0);
    EXPECT_EQ(table.grid->GetSelectedRow(), 1);
}

TEST(TextPaintTest, LongTextEndsInAnEllipsisAndAmpersandsAreKept)
{
    ShownFileTable table;
    table.AddRows(2);
    QString path = QStringLiteral("C:/");
    for (int i = 0; i < 20; ++i)
        path += QStringLiteral("folder%1/").arg(i);
    table.grid->GetCell(1, 0)->SetAsString(path);
    table.grid->GetCell(1, 1)->SetAsString(QStringLiteral("A&B"));
    table.grid->SetSelectedRow(-1);
    const QImage shot = table.Shot();
    const QColor text = table.grid->palette().color(QPalette::Text);
    // Nothing spills over the cell's right grid line or past it.
    EXPECT_EQ(CountPixels(shot, QRect(428, 18, 1, 16), text), 0);
    // Rendered like QPainter draws the literal text with '&'.
    QFontMetrics metrics(table.grid->font());
    const int expectedWidth = metrics.horizontalAdvance(QStringLiteral("A&B"));
    EXPECT_GT(expectedWidth, metrics.horizontalAdvance(QStringLiteral("AB")));
    int minX = 10000, maxX = -1;
    for (int y = 35; y < 51; ++y)
        for (int x = 306; x < 429; ++x)
            if (shot.pixelColor(x, y) != Base(*table.grid) && shot.pixelColor(x, y) != Button(*table.grid)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, minX);
    EXPECT_NEAR(maxX - minX + 1, expectedWidth, 2);
}

} // namespace
} // namespace vantrel::grid
