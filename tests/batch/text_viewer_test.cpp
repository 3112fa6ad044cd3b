// "View decoded text": a decoded file in a window of its own, in the code
// page the run took the key in or in another one, as the run wrote it or
// not at all.
#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTextBlock>
#include <QtTest/QTest>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

#include "ui/file_list_actions.h"
#include "ui/find_bar.h"
#include "ui/text_pane.h"
#include "ui/text_viewer.h"
#include "ui/text_viewers.h"
#include "window_fixture.h"

namespace vantrel::batch::testing {
namespace {

const QString Key = QStringLiteral("K3Y-0F-TEN");
// Plain text only, so that the output has the source's bytes: "Привет, мир"
// and a line end in CP1251, then a letter and a byte it does not define.
constexpr std::string_view Letter = "\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0\r\nZa\xbf\x98";
const QString InCp1251 = QStringLiteral("Привет, мир\nZaї\uFFFD");

class ViewerTest : public WindowTest {
protected:
    // Lists and decodes a.txt holding bytes, the key taken in keyCodePage.
    QString Decode(std::string_view bytes, const std::string& keyCodePage = "CP1251")
    {
        Add({Write(QStringLiteral("a.txt"), bytes)});
        form.Runner().Execute({Key, true, std::nullopt, keyCodePage});
        EXPECT_EQ(Row(0).status, QStringLiteral("Decoded"));
        return Row(0).decoded;
    }
    ui::TextViewer* View(int row)
    {
        const qsizetype before = form.Viewers().Windows().size();
        form.ViewDecodedText(row);
        const QList<ui::TextViewer*> open = form.Viewers().Windows();
        return open.size() > before ? open.last() : nullptr;
    }
    // Typed as a keyboard of its script would send it.
    static void Type(QWidget& field, const QString& text)
    {
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, &field, Qt::Key_unknown, QString(c), {});
    }
    static QString Shown(ui::TextViewer& viewer)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.Text().IsFilled(); }));
        return viewer.Text().toPlainText();
    }
};

TEST_F(ViewerTest, TheTextShowsInTheCodePageOfTheRunsKeyOrInAnyOtherAndTheFileStaysAsItWas)
{
    {
        const TestLocale russian("ru_RU.UTF-8");
        ASSERT_TRUE(russian.Active()) << "built by the test_locales test";
        Add({Write(QStringLiteral("a.txt"), Letter)});
        Run(Key);
    }
    const QString decoded = Row(0).decoded;
    struct stat before {};
    ASSERT_EQ(::stat(LocalPath(decoded).c_str(), &before), 0);

    ui::TextViewer* viewer = View(0);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("a-dec.txt"));
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->CodePage(), QStringLiteral("CP1251"));
    EXPECT_EQ(viewer->CodePages().currentText(), QStringLiteral("CP1251 – Cyrillic (the key's)"));
    EXPECT_TRUE(viewer->Note().isHidden());

    const struct {
        QString codePage;
        QString text;
    } cases[] = {
        {QStringLiteral("CP1250"), QStringLiteral("Ďđčâĺň, ěčđ\nZaż\uFFFD")},
        {QStringLiteral("UTF-8"), QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD, \uFFFD\uFFFD\uFFFD\nZa\uFFFD\uFFFD")},
        {QStringLiteral("CP1251"), InCp1251},
    };
    for (const auto& c : cases) {
        viewer->ShowInCodePage(c.codePage);
        EXPECT_EQ(viewer->CodePage(), c.codePage);
        EXPECT_EQ(Shown(*viewer), c.text) << c.codePage.toStdString();
    }

    // Copied and read out as Unicode text.
    viewer->Text().selectAll();
    viewer->Text().copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), InCp1251);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&viewer->Text());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_TRUE(accessible->state().readOnly);
    ASSERT_NE(accessible->textInterface(), nullptr);
    EXPECT_EQ(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()), InCp1251);

    viewer->close();
    struct stat after {};
    ASSERT_EQ(::stat(LocalPath(decoded).c_str(), &after), 0);
    EXPECT_EQ(Read(decoded), Letter);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(FilesIn(QStringLiteral("Decript")), QStringList{"a-dec.txt"});
    EXPECT_TRUE(boxes.errors.isEmpty());
}

TEST_F(ViewerTest, EachViewerIsAWindowOfItsOwnThatKeepsNothingAndGoesWithTheMainWindow)
{
    Decode(Letter);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QPointer<ui::TextViewer> first = View(0);
    ASSERT_TRUE(first);
    // The menu's item, by its key while the menu is up, on the menu's row.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.ListActions().ShowMenu(0, QPoint(10, 10));
    ASSERT_TRUE(form.ListActions().ViewTextAction()->isEnabled());
    QTest::keyClick(&form.ListActions().Menu(), Qt::Key_F3);
    EXPECT_FALSE(form.ListActions().Menu().isVisible());
    ASSERT_EQ(form.Viewers().Windows().size(), 2);
    QPointer<ui::TextViewer> second = form.Viewers().Windows().last();
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_NE(first->pos(), second->pos());

    second->ShowInCodePage(QStringLiteral("CP1250"));
    EXPECT_EQ(first->CodePage(), QStringLiteral("CP1251"));
    second->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.isNull(); }));
    // A new viewer starts afresh.
    QPointer<ui::TextViewer> third = View(0);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->CodePage(), QStringLiteral("CP1251"));

    form.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull() && third.isNull(); }));
}

TEST_F(ViewerTest, AFileThatChangedOrWentSinceTheRunIsNotShown)
{
    const struct {
        const char* name;
        std::function<void(const std::string& path)> change;
    } cases[] = {
        {"deleted", [](const std::string& path) { std::remove(path.c_str()); }},
        {"written to", [](const std::string& path) { std::ofstream(path, std::ios::app) << "!"; }},
        {"touched",
         [](const std::string& path) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
             ::utimensat(AT_FDCWD, path.c_str(), times, 0);
         }},
        {"replaced",
         [this](const std::string& path) {
             std::rename(LocalPath(Write(QStringLiteral("b.txt"), Letter)).c_str(), path.c_str());
         }},
    };
    for (const auto& c : cases) {
        form.NextGrid1->ClearRows();
        const QString decoded = Decode(Letter);
        c.change(LocalPath(decoded));
        boxes.errors.clear();
        EXPECT_EQ(View(0), nullptr) << c.name;
        EXPECT_EQ(boxes.errors, QStringList{QStringLiteral("File \"%1\" cannot be read!").arg(decoded)}) << c.name;
    }
}

TEST_F(ViewerTest, F3ViewsTheSelectedRowWhenItIsDecoded)
{
    Decode(Letter);
    Add({Write(QStringLiteral("b.txt"), "b")});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const struct {
        int selected;
        QStringList errors;
        qsizetype viewers;
    } cases[] = {
        {-1, {QStringLiteral("File is not selected!")}, 0},
        {1, {QStringLiteral("File is not decoded!")}, 0},
        {0, {}, 1},
    };
    for (const auto& c : cases) {
        boxes.errors.clear();
        form.NextGrid1->SetSelectedRow(c.selected);
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.NextGrid1, Qt::Key_F3);
        EXPECT_EQ(boxes.errors, c.errors) << c.selected;
        EXPECT_EQ(form.Viewers().Windows().size(), c.viewers) << c.selected;
    }
}

TEST_F(ViewerTest, CtrlFFindsInAnyLetterCaseAndEscapeClosesTheBarThenTheViewer)
{
    Decode(Letter);
    QPointer<ui::TextViewer> viewer = View(0);
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
    ui::FindBar& find = viewer->Find();

    QTest::keyClick(viewer->focusWidget(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find.isVisible());
    ASSERT_TRUE(find.Field().hasFocus());
    Type(find.Field(), QStringLiteral("МИР"));
    EXPECT_EQ(viewer->Text().textCursor().selectedText(), QStringLiteral("мир"));
    EXPECT_TRUE(find.Result().text().isEmpty());
    Type(find.Field(), QStringLiteral("!"));
    EXPECT_EQ(find.Result().text(), ui::FindBar::NotFoundText);

    QTest::keyClick(&find.Field(), Qt::Key_Escape);
    EXPECT_FALSE(find.isVisible());
    EXPECT_TRUE(viewer->isVisible());
    QTest::keyClick(viewer->focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }));
}

TEST_F(ViewerTest, ALongFileShowsItsBeginningAndSaysSoAndLongLinesCopyWhole)
{
    // A line longer than is laid out at once, and more text than goes in
    // at one time.
    const std::string line(300'000, '\xe6');
    ASSERT_GT(line.size(), std::size_t(ui::TextPane::FillStep));
    ui::TextViewer viewer(QStringLiteral("/x/big-dec.txt"), {line + "\r\nend", std::int64_t(1) << 30}, "CP1251");
    EXPECT_EQ(viewer.Note().text(), QStringLiteral("The file is 1.0 GiB: only its first 293.0 KiB are shown."));
    EXPECT_FALSE(viewer.Note().isHidden());
    EXPECT_FALSE(viewer.Text().IsFilled());

    Shown(viewer);
    EXPECT_GT(viewer.Text().document()->blockCount(), 2);
    viewer.Text().selectAll();
    viewer.Text().copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString(qsizetype(line.size()), u'ж') + QStringLiteral("\nend"));

    // Where a line is laid out in pieces, a character of two halves stays
    // whole.
    const QString across = QString(ui::TextPane::LongestShownLine - 1, u'a') + QStringLiteral("😀b");
    viewer.Text().ShowText(across.toStdU16String());
    for (QTextBlock block = viewer.Text().document()->begin(); block.isValid(); block = block.next())
        EXPECT_TRUE(block.text().isValidUtf16()) << block.blockNumber();
    viewer.Text().selectAll();
    viewer.Text().copy();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), across);
}

} // namespace
} // namespace vantrel::batch::testing
