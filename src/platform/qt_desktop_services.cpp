#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace vantrel::platform {

namespace {

// Runs a modal box and gives activation and focus back to where they were,
// whatever the window manager decides once the box is gone.
void ShowModalBox(QWidget* owner, const QString& caption, const QString& text, QMessageBox::Icon icon)
{
    QPointer<QWidget> activeWindow = QApplication::activeWindow();
    QPointer<QWidget> focusWidget = QApplication::focusWidget();
    QWidget* parent = owner ? owner : activeWindow.data();

    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();

    if (activeWindow) {
        activeWindow->activateWindow();
        activeWindow->raise();
    }
    if (focusWidget)
        focusWidget->setFocus(Qt::OtherFocusReason);
}

} // namespace

std::optional<QStringList> QtOpenFilesDialog::Execute()
{
    QFileDialog dialog;
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(QStringLiteral("*.txt"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFiles();
}

QString QtFolderBrowser::Execute()
{
    // No owner: the main window stays usable while the browser is open.
    const QString prompt = QStringLiteral("Выберите папку");
    QFileDialog dialog(nullptr, prompt);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QList<QUrl> chosen = dialog.selectedUrls();
    // An item that is not a local folder (a network location, a virtual place)
    // has no path the run could write to.
    if (chosen.isEmpty() || !chosen.front().isLocalFile())
        return {};
    return chosen.front().toLocalFile();
}

void QtMessageBoxes::ShowError(const QString& text)
{
    ShowModalBox(owner_, QStringLiteral("Error"), text, QMessageBox::NoIcon);
}

void QtMessageBoxes::ShowException(const QString& text)
{
    ShowModalBox(owner_, QApplication::applicationDisplayName(), text, QMessageBox::Critical);
}

void QtShell::OpenDocument(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

namespace {

const QString FileManagerService = QStringLiteral("org.freedesktop.FileManager1");

// Running, or known to the bus so that the call starts it.
bool FileManagerOnBus(const QDBusConnection& bus)
{
    const QDBusConnectionInterface* daemon = bus.isConnected() ? bus.interface() : nullptr;
    if (!daemon) return false;
    if (daemon->isServiceRegistered(FileManagerService)) return true;
    const QDBusReply<QStringList> startable = daemon->activatableServiceNames();
    return startable.isValid() && startable.value().contains(FileManagerService);
}

} // namespace

void QtShell::ShowInFolder(const QString& path)
{
    const QFileInfo file(path);
    const QUrl folder = QUrl::fromLocalFile(file.absolutePath());
    if (!bus_) bus_ = QDBusConnection::sessionBus();
    if (!file.exists() || !FileManagerOnBus(*bus_)) {
        QDesktopServices::openUrl(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(FileManagerService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       FileManagerService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString()} << QString();
    // Starting a file manager can take a while: wait for it without
    // blocking the window, and open the folder plainly if it says no.
    constexpr int StartTimeoutMs = 15000;
    auto* reply = new QDBusPendingCallWatcher(bus_->asyncCall(call, StartTimeoutMs));
    QObject::connect(reply, &QDBusPendingCallWatcher::finished, [folder](QDBusPendingCallWatcher* finished) {
        if (finished->isError()) QDesktopServices::openUrl(folder);
        finished->deleteLater();
    });
}

} // namespace vantrel::platform
