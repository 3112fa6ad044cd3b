// The shell's services as this desktop provides them: the folder browser
// and the "open" action on a document.
#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

std::vector<QFileDialog*> OpenBrowsers()
{
    std::vector<QFileDialog*> open;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QFileDialog*>(window); dialog && dialog->isVisible())
            open.push_back(dialog);
    return open;
}

class FolderBrowserTest : public ::testing::Test {
protected:
    void Open(const char* caller)
    {
        browser.Open(receiver, [this, caller](const QString& folder) {
            answers.append(QString::fromLatin1(caller) + QLatin1Char(':') + folder);
        });
    }
    QFileDialog* TheOpenBrowser()
    {
        const auto open = OpenBrowsers();
        return open.size() == 1 ? open.front() : nullptr;
    }

    QTemporaryDir dir;
    QtFolderBrowser browser;
    std::unique_ptr<QObject> receiver_ = std::make_unique<QObject>();
    QObject& receiver = *receiver_;
    QStringList answers;
};

TEST_F(FolderBrowserTest, HasNoOwnerBlocksNothingAndShowsThePromptAboveTheFolders)
{
    Open("first");
    QFileDialog* dialog = TheOpenBrowser();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::NonModal);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find Directory"));   // Qt's own caption

    const auto* prompt = dialog->findChild<QLabel*>(QStringLiteral("prompt"));
    const auto* folders = dialog->findChild<QStackedWidget*>();
    ASSERT_NE(prompt, nullptr);
    ASSERT_NE(folders, nullptr);
    EXPECT_EQ(prompt->text(), QStringLiteral("Выберите папку"));
    EXPECT_TRUE(prompt->isVisible());
    const QRect promptRect(prompt->mapTo(dialog, QPoint()), prompt->size());
    const QRect foldersRect(folders->mapTo(dialog, QPoint()), folders->size());
    EXPECT_LE(promptRect.bottom(), foldersRect.top());
    EXPECT_EQ(promptRect.left(), foldersRect.left());

    // A second Open brings the same browser forward; its answer goes to the first.
    Open("second");
    EXPECT_EQ(TheOpenBrowser(), dialog);
    dialog->setDirectory(dir.path());
    dialog->selectFile(dir.path());
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    EXPECT_EQ(answers, QStringList{QStringLiteral("first:") + dir.path()});
}

TEST_F(FolderBrowserTest, CancellingAnswersEmptyAndABrowserClosedByHandCanOpenAgain)
{
    Open("first");
    ASSERT_NE(TheOpenBrowser(), nullptr);
    TheOpenBrowser()->reject();
    Open("second");
    ASSERT_NE(TheOpenBrowser(), nullptr);
    TheOpenBrowser()->close();
    EXPECT_EQ(answers, (QStringList{QStringLiteral("first:"), QStringLiteral("second:")}));
}

TEST_F(FolderBrowserTest, TheBrowserGoesWithItsReceiverWithoutAnswering)
{
    Open("first");
    QPointer<QFileDialog> dialog = TheOpenBrowser();
    ASSERT_NE(dialog, nullptr);
    receiver_.reset();
    EXPECT_TRUE(dialog.isNull());
    EXPECT_TRUE(answers.isEmpty());
}

// Takes "file" links in place of the desktop.
class DocumentHandler : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.append(url); }
};

TEST(ShellTest, ReportsWhetherAProgramTookTheDocument)
{
    QtShell shell;
    const QString path = QStringLiteral("/data/Decript/a b-dec.txt");
    // The offscreen desktop has no program for any document.
    EXPECT_FALSE(shell.OpenDocument(path));

    DocumentHandler handler;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &handler, "Open");
    EXPECT_TRUE(shell.OpenDocument(path));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(handler.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
}

} // namespace
} // namespace vantrel::platform

#include "qt_shell_test.moc"
