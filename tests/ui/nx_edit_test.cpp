#include "ui/nx_edit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vantrel::ui {
namespace {

class KeyFieldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 60);
        edit->setGeometry(10, 10, 177, 21);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
    }

    // A point in the field's client area, in widget coordinates.
    QPoint Client(int x) const { return edit->ClientRect().topLeft() + QPoint(x, 8); }

    void MoveTo(QPoint pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, edit->mapToGlobal(pos), Qt::NoButton, {}, {});
        QApplication::sendEvent(edit, &move);
    }

    QWidget window;
    TNxEdit* edit = new TNxEdit(&window);
};

TEST_F(KeyFieldTest, ShowsAStarForEveryCharacterAndReadsBackWhatWasTyped)
{
    const QString key = QStringLiteral(" ab cd ef g");
    QTest::keyClicks(edit, key);
    EXPECT_EQ(edit->text(), key);
    EXPECT_EQ(edit->displayText(), QString(11, QLatin1Char('*')));
}

TEST_F(KeyFieldTest, TheMaskIsAStarWhateverTheStyleWouldUse)
{
    EXPECT_EQ(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit), '*');
    edit->setText(QStringLiteral("Ключ"));
    EXPECT_EQ(edit->displayText(), QStringLiteral("****"));
    EXPECT_EQ(edit->text(), QStringLiteral("Ключ"));
}

TEST_F(KeyFieldTest, APressAtClientColumnTwoSelectsTheWholeKey)
{
    QTest::keyClicks(edit, QStringLiteral("0123456789 x"));
    edit->setCursorPosition(4);
    QTest::mousePress(edit, Qt::LeftButton, {}, Client(2));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("0123456789 x"));
    QTest::mouseRelease(edit, Qt::LeftButton, {}, Client(2));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("0123456789 x"));
    EXPECT_EQ(edit->text(), QStringLiteral("0123456789 x"));
}

TEST_F(KeyFieldTest, APressAtClientColumnThreePlacesTheCaret)
{
    QTest::keyClicks(edit, QStringLiteral("0123456789 x"));
    QTest::mouseClick(edit, Qt::LeftButton, {}, Client(3));
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 0);
}

TEST_F(KeyFieldTest, ThePointerIsAReversedArrowOverTheStripAndATextPointerElsewhere)
{
    MoveTo(Client(1));
    EXPECT_EQ(edit->cursor().shape(), Qt::BitmapCursor);
    const QImage arrow = TNxEdit::ReversedArrowCursor().pixmap().toImage();
    ASSERT_FALSE(arrow.isNull());
    // The hot spot is the arrow's tip at the top right.
    EXPECT_EQ(TNxEdit::ReversedArrowCursor().hotSpot(), QPoint(arrow.width() - 1, 0));
    EXPECT_GT(qAlpha(arrow.pixel(arrow.width() - 1, 0)), 0);
    EXPECT_EQ(qAlpha(arrow.pixel(0, 0)), 0);

    MoveTo(Client(3));
    EXPECT_EQ(edit->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(KeyFieldTest, DraggingFromTheStripKeepsEverythingSelected)
{
    QTest::keyClicks(edit, QStringLiteral("abcdefghijk"));
    QTest::mousePress(edit, Qt::LeftButton, {}, Client(1));
    QMouseEvent drag(QEvent::MouseMove, Client(60), edit->mapToGlobal(Client(60)), Qt::LeftButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(edit, &drag);
    QTest::mouseRelease(edit, Qt::LeftButton, {}, Client(60));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("abcdefghijk"));
}

} // namespace
} // namespace vantrel::ui
