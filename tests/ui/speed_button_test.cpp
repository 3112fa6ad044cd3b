#include "render.h"
#include "ui/speed_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vantrel::ui {
namespace {

using test::At;
using test::Render;

// A 32 x 32 glyph: white all round, a blue block with a red pixel marking
// its top-left corner.
QImage TestGlyph()
{
    QImage glyph(32, 32, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    for (int y = 10; y < 20; ++y)
        for (int x = 8; x < 24; ++x)
            glyph.setPixel(x, y, qRgb(0, 0, 255));
    glyph.setPixel(8, 10, qRgb(255, 0, 0));
    return glyph;
}

class SpeedButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.resize(100, 60);
        parent.setAutoFillBackground(true);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, QColor(0, 128, 0));
        palette.setColor(QPalette::Light, QColor(255, 255, 254));
        palette.setColor(QPalette::Dark, QColor(100, 100, 100));
        parent.setPalette(palette);
        button->setGeometry(10, 10, 40, 40);
        button->SetGlyph(TestGlyph());
    }

    void Enter()
    {
        const QPointF inside(20, 20);
        QEnterEvent enter(inside, inside, button->mapToGlobal(inside));
        QApplication::sendEvent(button, &enter);
    }

    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
    }

    QImage ButtonPixels() { return Render(parent).copy(button->geometry()); }

    QWidget parent;
    TSpeedButton* button = new TSpeedButton(&parent);
    const QPoint inside{20, 20};
    const QPoint outside{60, 20};
};

TEST_F(SpeedButtonTest, ClickFiresOnReleaseInside)
{
    QSignalSpy clicks(button, &TSpeedButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    EXPECT_TRUE(button->isDown());
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, inside);
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SpeedButtonTest, DraggingOffAndReleasingOutsideFiresNoClick)
{
    QSignalSpy clicks(button, &TSpeedButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    QTest::mouseMove(button, outside);
    EXPECT_FALSE(button->isDown());
    QTest::mouseMove(button, inside);
    EXPECT_TRUE(button->isDown());
    QTest::mouseMove(button, outside);
    QTest::mouseRelease(button, Qt::LeftButton, {}, outside);
    EXPECT_FALSE(button->isDown());
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(SpeedButtonTest, AtRestThereIsNoFrameAndWhiteIsLeftOut)
{
    const QImage pixels = ButtonPixels();
    const QColor strip(0, 128, 0);
    EXPECT_EQ(At(pixels, 0, 0), strip);
    EXPECT_EQ(At(pixels, 39, 39), strip);
    // The glyph's white shows the strip; its block shows at (4 + 8, 4 + 10).
    EXPECT_EQ(At(pixels, 4, 4), strip);
    EXPECT_EQ(At(pixels, 12, 14), QColor(255, 0, 0));
    EXPECT_EQ(At(pixels, 13, 15), QColor(0, 0, 255));
}

TEST_F(SpeedButtonTest, HoverDrawsARaisedEdgeAndLeavingRemovesIt)
{
    Enter();
    ASSERT_TRUE(button->IsHovered());
    QImage pixels = ButtonPixels();
    EXPECT_EQ(At(pixels, 0, 0), QColor(255, 255, 254));
    EXPECT_EQ(At(pixels, 20, 0), QColor(255, 255, 254));
    EXPECT_EQ(At(pixels, 0, 20), QColor(255, 255, 254));
    EXPECT_EQ(At(pixels, 39, 20), QColor(100, 100, 100));
    EXPECT_EQ(At(pixels, 20, 39), QColor(100, 100, 100));
    // The inside is not filled.
    EXPECT_EQ(At(pixels, 2, 2), QColor(0, 128, 0));

    Leave();
    pixels = ButtonPixels();
    EXPECT_EQ(At(pixels, 0, 0), QColor(0, 128, 0));
    EXPECT_EQ(At(pixels, 39, 20), QColor(0, 128, 0));
}

TEST_F(SpeedButtonTest, WhileDownTheEdgeIsSunkenAndTheGlyphMovesOneRightAndDown)
{
    Enter();
    const QImage up = ButtonPixels();
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    const QImage down = ButtonPixels();
    QTest::mouseRelease(button, Qt::LeftButton, {}, inside);

    EXPECT_EQ(At(down, 0, 20), QColor(100, 100, 100));
    EXPECT_EQ(At(down, 20, 0), QColor(100, 100, 100));
    EXPECT_EQ(At(down, 39, 20), QColor(255, 255, 254));
    EXPECT_EQ(At(down, 20, 39), QColor(255, 255, 254));
    EXPECT_EQ(At(down, 13, 15), QColor(255, 0, 0));
    for (int y = 2; y < 37; ++y)
        for (int x = 2; x < 37; ++x)
            ASSERT_EQ(down.pixel(x + 1, y + 1), up.pixel(x, y)) << x << "," << y;
}

TEST_F(SpeedButtonTest, TheLowerLeftColourIsTheTransparentOne)
{
    QImage glyph = TestGlyph();
    glyph.fill(qRgb(0, 0, 255));
    glyph.setPixel(0, 31, qRgb(10, 20, 30));
    glyph.setPixel(5, 5, qRgb(10, 20, 30));
    button->SetGlyph(glyph);
    const QImage pixels = ButtonPixels();
    EXPECT_EQ(At(pixels, 4 + 5, 4 + 5), QColor(0, 128, 0));
    EXPECT_EQ(At(pixels, 4 + 6, 4 + 5), QColor(0, 0, 255));
}

} // namespace
} // namespace vantrel::ui
