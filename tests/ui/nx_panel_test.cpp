#include "render.h"
#include "ui/nx_panel.h"

#include <gtest/gtest.h>

namespace vantrel::ui {
namespace {

using test::At;
using test::Render;

struct RowCase {
    int y;
    int height;
    QColor expected;
};

class GradientRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(GradientRowTest, BlendsFromWhiteToTheSchemeColourOneRowAtATime)
{
    const RowCase& c = GetParam();
    EXPECT_EQ(TNxPanel::GradientRow(Qt::white, TNxPanel::SchemeButtonFace, c.y, c.height), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, GradientRowTest,
    ::testing::Values(RowCase{0, 42, QColor(255, 255, 255)},
                      RowCase{21, 42, QColor(241, 247, 255)},   // halfway: 255 - 14, 255 - 8
                      RowCase{40, 42, QColor(228, 240, 255)},   // 255 - 26.67, 255 - 15.24
                      RowCase{41, 42, QColor(228, 239, 255)},   // one step short of (227, 239, 255)
                      RowCase{1, 2, QColor(241, 247, 255)},
                      RowCase{99, 100, QColor(227, 239, 255)}));

class PanelPixelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Base, Qt::white);
        panel.setPalette(palette);
        panel.resize(300, 42);
    }
    TNxPanel panel;
};

TEST_F(PanelPixelsTest, EveryRowHasItsGradientColourAndTheLastIs228_239_255)
{
    const QImage image = Render(panel);
    // Row y of 42 lies y / 42 of the way from white to (227, 239, 255): red
    // falls by 28 * y / 42 and green by 16 * y / 42, each to the nearest whole.
    for (int y = 1; y < 42; ++y)
        EXPECT_EQ(At(image, 150, y), QColor(255 - (28 * y + 21) / 42, 255 - (16 * y + 21) / 42, 255)) << "row " << y;
    EXPECT_EQ(At(image, 299, 41), QColor(228, 239, 255));
}

TEST_F(PanelPixelsTest, BlackLinesRunAlongTheLeftAndTopEdgesOnly)
{
    const QImage image = Render(panel);
    for (int y = 0; y < 42; ++y)
        EXPECT_EQ(At(image, 0, y), QColor(Qt::black)) << "row " << y;
    for (int x = 0; x < 300; ++x)
        EXPECT_EQ(At(image, x, 0), QColor(Qt::black)) << "column " << x;
    // The bottom and right lines fall outside the strip.
    EXPECT_EQ(At(image, 299, 20), QColor(242, 247, 255));
    EXPECT_EQ(At(image, 150, 41), QColor(228, 239, 255));
}

TEST_F(PanelPixelsTest, AWiderStripLooksTheSameInEveryColumn)
{
    panel.resize(700, 42);
    const QImage image = Render(panel);
    for (int y = 1; y < 42; ++y) {
        const QRgb expected = image.pixel(1, y);
        for (int x = 2; x < 700; ++x)
            ASSERT_EQ(image.pixel(x, y), expected) << "x " << x << " y " << y;
    }
}

TEST_F(PanelPixelsTest, TheGradientStartsFromTheWindowColour)
{
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Base, QColor(200, 100, 0));
    panel.setPalette(palette);
    const QImage image = Render(panel);
    // 1/42 and 41/42 of the way to (227, 239, 255).
    EXPECT_EQ(At(image, 10, 1), QColor(201, 103, 6));
    EXPECT_EQ(At(image, 10, 41), QColor(226, 236, 249));
}

} // namespace
} // namespace vantrel::ui
