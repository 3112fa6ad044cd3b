#include "render.h"
#include "ui/nx_check_box.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleOption>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <set>

namespace vantrel::ui {
namespace {

using test::At;
using test::Render;

const QColor Window(255, 255, 255);
const QColor Face(212, 208, 200);
const QColor Shadow(128, 128, 128);
const QColor DarkShadow(64, 64, 64);
const QColor Highlight(250, 250, 240);
const QColor Ink(0, 0, 0);

class CheckBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QPalette palette = box.palette();
        palette.setColor(QPalette::Base, Window);
        palette.setColor(QPalette::Button, Face);
        palette.setColor(QPalette::Dark, Shadow);
        palette.setColor(QPalette::Shadow, DarkShadow);
        palette.setColor(QPalette::Light, Highlight);
        palette.setColor(QPalette::Text, Ink);
        box.setPalette(palette);
        box.resize(145, 21);
        box.SetLook(ControlLook::Classic);
        box.SetChecked(true);
    }

    QPoint OnBox() const { return box.BoxRect().center(); }
    QPoint OnCaption() const { return {60, 10}; }

    TNxCheckBox box{QStringLiteral("Key valid check")};
};

// The tick's pixels, relative to the box: three 45-degree polylines through
// (2, 4 + d), (4, 6 + d), (9, 1 + d).
std::set<std::pair<int, int>> TickPixels()
{
    std::set<std::pair<int, int>> pixels;
    for (int d = 0; d < 3; ++d) {
        for (int i = 0; i <= 2; ++i)
            pixels.insert({2 + i, 4 + d + i});
        for (int i = 0; i <= 5; ++i)
            pixels.insert({4 + i, 6 + d - i});
    }
    return pixels;
}

TEST_F(CheckBoxTest, ClassicCheckedBoxHasItsFrameAndTheTickPolylines)
{
    const QImage image = Render(box);
    const QPoint origin = box.BoxRect().topLeft();
    const auto tick = TickPixels();
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 11; ++x) {
            const bool frame = x == 0 || y == 0 || x == 10 || y == 10;
            const QColor expected = frame ? Shadow : tick.count({x, y}) ? Ink : Window;
            ASSERT_EQ(At(image, origin.x() + x, origin.y() + y), expected) << "box pixel " << x << "," << y;
        }
    }
    // Outside the box the control's colour.
    EXPECT_EQ(At(image, origin.x() - 1, 10), Window);
    EXPECT_EQ(At(image, origin.x() + 11, 10), Window);
}

struct EdgePixel {
    int x, y;
    QColor colour;
};

TEST_F(CheckBoxTest, ClassicBorderIsTheSunkenEdgeAndTheBoxSitsTwoPixelsInsideIt)
{
    const QImage image = Render(box);
    const EdgePixel pixels[] = {
        {0, 10, Shadow},      {70, 0, Shadow},      {144, 10, Highlight}, {70, 20, Highlight},
        {1, 10, DarkShadow},  {70, 1, DarkShadow},  {143, 10, Face},      {70, 19, Face},
        {2, 10, Window},      {3, 10, Window},      {140, 10, Window},
    };
    for (const EdgePixel& p : pixels)
        EXPECT_EQ(At(image, p.x, p.y), p.colour) << p.x << "," << p.y;
    EXPECT_EQ(box.BoxRect(), QRect(4, 5, 11, 11));
    EXPECT_EQ(At(image, 4, 10), Shadow);   // the box's own frame
}

TEST_F(CheckBoxTest, ThemedBorderIsTheStylesEditFrameAroundTheClientArea)
{
    box.SetLook(ControlLook::Themed);
    const QImage image = Render(box);
    for (const QPoint edge : {QPoint(0, 10), QPoint(70, 0), QPoint(144, 10), QPoint(70, 20)})
        EXPECT_NE(At(image, edge.x(), edge.y()), Window) << edge.x() << "," << edge.y();
    EXPECT_EQ(At(image, 2, 10), Window);
    EXPECT_EQ(At(image, 3, 10), Window);
    EXPECT_EQ(box.BoxRect(), QRect(4, 4, 13, 13));
}

TEST_F(CheckBoxTest, ClassicUncheckedBoxIsEmptyAndPressedFillsItWithTheFaceColour)
{
    box.SetChecked(false);
    const QPoint origin = box.BoxRect().topLeft();
    QImage image = Render(box);
    EXPECT_EQ(At(image, origin.x() + 4, origin.y() + 6), Window);
    EXPECT_EQ(At(image, origin.x() + 5, origin.y() + 5), Window);

    QTest::mousePress(&box, Qt::LeftButton, {}, OnBox());
    image = Render(box);
    for (int y = 1; y < 10; ++y)
        for (int x = 1; x < 10; ++x)
            ASSERT_EQ(At(image, origin.x() + x, origin.y() + y), Face) << x << "," << y;
    EXPECT_EQ(At(image, origin.x(), origin.y()), Shadow);
    QTest::mouseRelease(&box, Qt::LeftButton, {}, OnBox());
}

TEST_F(CheckBoxTest, CaptionBeginsFourPixelsRightOfTheBox)
{
    const QImage image = Render(box);
    const QRect client = box.ClientRect();
    const int afterBox = box.BoxRect().right() + 1;
    int firstInk = -1;
    for (int x = afterBox; x <= client.right() && firstInk < 0; ++x)
        for (int y = client.top(); y <= client.bottom(); ++y)
            if (At(image, x, y) != Window) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, afterBox + TNxCheckBox::Indent);
    EXPECT_LE(firstInk, afterBox + TNxCheckBox::Indent + 2);
}

TEST_F(CheckBoxTest, ClickOnTheCaptionDoesNotToggle)
{
    QSignalSpy changes(&box, &TNxCheckBox::Changed);
    QTest::mouseClick(&box, Qt::LeftButton, {}, OnCaption());
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(CheckBoxTest, ClickOnTheBoxTogglesAndReportsTheChange)
{
    QSignalSpy changes(&box, &TNxCheckBox::Changed);
    QTest::mouseClick(&box, Qt::LeftButton, {}, OnBox());
    EXPECT_FALSE(box.Checked());
    QTest::mouseClick(&box, Qt::LeftButton, {}, OnBox());
    EXPECT_TRUE(box.Checked());
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(0).at(0).toBool(), false);
    EXPECT_EQ(changes.at(1).at(0).toBool(), true);
}

TEST_F(CheckBoxTest, PressOnTheBoxReleasedElsewhereChangesNothing)
{
    QTest::mousePress(&box, Qt::LeftButton, {}, OnBox());
    EXPECT_TRUE(box.IsPressed());
    QTest::mouseRelease(&box, Qt::LeftButton, {}, OnCaption());
    EXPECT_TRUE(box.Checked());
    EXPECT_FALSE(box.IsPressed());
}

TEST_F(CheckBoxTest, PressOnTheCaptionReleasedOnTheBoxToggles)
{
    QTest::mousePress(&box, Qt::LeftButton, {}, OnCaption());
    EXPECT_FALSE(box.IsPressed());
    QTest::mouseRelease(&box, Qt::LeftButton, {}, OnBox());
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, RightButtonDoesNotToggleButTakesTheFocus)
{
    QWidget window;
    box.setParent(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(&box, Qt::RightButton, {}, OnBox());
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(box.hasFocus());
    box.setParent(nullptr);
}

TEST_F(CheckBoxTest, ExpandActiveRectMakesTheCaptionReactToo)
{
    box.SetExpandActiveRect(true);
    QTest::mouseClick(&box, Qt::LeftButton, {}, OnCaption());
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, SpaceShowsThePressedBoxAndTogglesOnRelease)
{
    QTest::keyPress(&box, Qt::Key_Space);
    EXPECT_TRUE(box.IsPressed());
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(At(Render(box), box.BoxRect().left() + 1, box.BoxRect().top() + 1), Face);
    QTest::keyRelease(&box, Qt::Key_Space);
    EXPECT_FALSE(box.IsPressed());
    EXPECT_FALSE(box.Checked());
}

TEST_F(CheckBoxTest, HoverFollowsThePointerOverTheBox)
{
    QMouseEvent overBox(QEvent::MouseMove, OnBox(), box.mapToGlobal(OnBox()), Qt::NoButton, {}, {});
    QApplication::sendEvent(&box, &overBox);
    EXPECT_TRUE(box.IsHovered());
    QMouseEvent overCaption(QEvent::MouseMove, OnCaption(), box.mapToGlobal(OnCaption()), Qt::NoButton, {}, {});
    QApplication::sendEvent(&box, &overCaption);
    EXPECT_FALSE(box.IsHovered());
    QApplication::sendEvent(&box, &overBox);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&box, &leave);
    EXPECT_FALSE(box.IsHovered());
}

// Records the state the control asks the style to draw its box in.
class RecordingStyle final : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_IndicatorCheckBox) {
            lastState = option->state;
            lastRect = option->rect;
            ++calls;
        }
        if (element == PE_FrameLineEdit)
            frameRect = option->rect;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
    mutable QStyle::State lastState;
    mutable QRect lastRect;
    mutable QRect frameRect;
    mutable int calls = 0;
};

struct ThemedCase {
    bool hovered;
    bool checked;
    bool pressed;
    bool enabled;
    QStyle::State expected; // among On, Off, MouseOver, Sunken, Enabled
};

class ThemedBoxTest : public ::testing::TestWithParam<ThemedCase> {};

TEST_P(ThemedBoxTest, AsksTheStyleForTheMatchingState)
{
    const ThemedCase& c = GetParam();
    RecordingStyle style;
    TNxCheckBox box(QStringLiteral("Key valid check"));
    box.setStyle(&style);
    box.resize(145, 21);
    box.SetLook(ControlLook::Themed);
    box.SetChecked(c.checked);
    if (c.hovered) {
        QMouseEvent move(QEvent::MouseMove, box.BoxRect().center(), box.mapToGlobal(box.BoxRect().center()),
                         Qt::NoButton, {}, {});
        QApplication::sendEvent(&box, &move);
    }
    if (c.pressed)
        QTest::keyPress(&box, Qt::Key_Space);
    box.setEnabled(c.enabled);

    Render(box);
    ASSERT_GT(style.calls, 0);
    EXPECT_EQ(style.lastRect, QRect(4, 4, 13, 13));
    EXPECT_EQ(style.frameRect, QRect(0, 0, 145, 21));
    const QStyle::State relevant = QStyle::State_On | QStyle::State_Off | QStyle::State_MouseOver
                                   | QStyle::State_Sunken | QStyle::State_Enabled;
    EXPECT_EQ(style.lastState & relevant, c.expected);
    box.setStyle(nullptr);
}

using S = QStyle;
INSTANTIATE_TEST_SUITE_P(States, ThemedBoxTest,
    ::testing::Values(
        ThemedCase{false, false, false, true, S::State_Off | S::State_Enabled},
        ThemedCase{false, false, true, true, S::State_Off | S::State_Enabled},
        ThemedCase{false, true, true, true, S::State_On | S::State_Enabled},
        ThemedCase{true, false, false, true, S::State_Off | S::State_Enabled | S::State_MouseOver},
        ThemedCase{true, false, true, true, S::State_Off | S::State_Enabled | S::State_MouseOver | S::State_Sunken},
        ThemedCase{true, true, false, true, S::State_On | S::State_Enabled | S::State_MouseOver},
        ThemedCase{true, true, true, true, S::State_On | S::State_Enabled | S::State_MouseOver | S::State_Sunken},
        ThemedCase{true, true, false, false, S::State_On},
        ThemedCase{false, false, false, false, S::State_Off}));

} // namespace
} // namespace vantrel::ui
