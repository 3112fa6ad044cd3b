// The shell's services as this desktop provides them: the "open" action on a
// document.
#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

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
