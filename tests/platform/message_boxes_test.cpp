// The real message boxes, closed from a timer while they are open.
#include "platform/qt_desktop_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool modal = false;
    Qt::TextFormat format = Qt::AutoText;
};

class MessageBoxesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        second->setFocus();
        boxes.SetOwner(&window);
    }

    // Shows a box through `show`, returns what was seen while it was open.
    SeenBox Observe(const std::function<void()>& show)
    {
        SeenBox seen;
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            for (auto* button : box->buttons())
                seen.buttons.append(button->text());
            seen.modal = box->windowModality() == Qt::ApplicationModal;
            seen.format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        show();
        return seen;
    }

    QWidget window;
    QLineEdit* first = new QLineEdit;
    QLineEdit* second = new QLineEdit;
    QtMessageBoxes boxes;
};

TEST_F(MessageBoxesTest, ErrorBoxHasCaptionErrorOneOkButtonAndNoIcon)
{
    const QString text = QStringLiteral("No program could open the file \"/tmp/<b>x</b>-dec.txt\"!");
    const SeenBox seen = Observe([&] { boxes.ShowError(text); });
    EXPECT_EQ(seen.caption, QStringLiteral("Error"));
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(seen.format, Qt::PlainText);   // a file name is never taken for markup
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons.size(), 1);
    EXPECT_TRUE(seen.modal);
}

TEST_F(MessageBoxesTest, ExceptionBoxHasTheApplicationTitleAndTheStopIcon)
{
    const QString previous = QApplication::applicationDisplayName();
    QApplication::setApplicationDisplayName(QStringLiteral("Vantrel"));
    const SeenBox seen = Observe([&] { boxes.ShowException(QStringLiteral("Access violation.")); });
    QApplication::setApplicationDisplayName(previous);

    EXPECT_EQ(seen.caption, QStringLiteral("Vantrel"));
    EXPECT_EQ(seen.text, QStringLiteral("Access violation."));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons.size(), 1);
}

TEST_F(MessageBoxesTest, FocusReturnsToTheControlThatHadItBeforeTheBox)
{
    ASSERT_EQ(QApplication::focusWidget(), second);
    first->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), first);
    Observe([&] { boxes.ShowError(QStringLiteral("File is not decoded!")); });
    // Activation comes back through the window system, not at once.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), first);
}

} // namespace
} // namespace vantrel::platform
