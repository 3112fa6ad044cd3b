// The shell's "show in folder" where no file manager answers on D-Bus: the
// folder itself goes to the desktop's default program. The bus is a
// disconnected one, so a file manager of the machine is never asked.
#include "platform/qt_desktop_services.h"

#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls.append(url); }
};

TEST(ShellTest, WithoutAFileManagerTheFolderOpensOrTheCallerHearsThatNothingCould)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile decoded(dir.filePath(QStringLiteral("a b-dec.txt")));
    ASSERT_TRUE(decoded.open(QIODevice::WriteOnly));
    decoded.close();

    OpenedUrls opened;
    QObject receiver;
    int notShown = 0;
    const auto countNotShown = [&notShown] { ++notShown; };
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
    QtShell shell(QDBusConnection(QStringLiteral("no bus")));
    shell.ShowInFolder(decoded.fileName(), receiver, countNotShown);
    shell.ShowInFolder(dir.filePath(QStringLiteral("gone-dec.txt")), receiver, countNotShown);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    const QUrl folder = QUrl::fromLocalFile(dir.path());
    EXPECT_EQ(opened.urls, (QList<QUrl>{folder, folder}));
    EXPECT_EQ(notShown, 0);

    // The offscreen desktop has no program for a folder: the caller hears of it.
    shell.ShowInFolder(decoded.fileName(), receiver, countNotShown);
    EXPECT_EQ(notShown, 1);
}

} // namespace
} // namespace vantrel::platform

#include "shell_test.moc"
