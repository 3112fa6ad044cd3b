#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>
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
    // Messages name files: a name that looks like markup is still a name.
    box.setTextFormat(Qt::PlainText);
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

namespace {

// Puts the prompt above the folder views, where the user looks first.
void AddPrompt(QFileDialog& dialog, const QString& prompt)
{
    auto* views = dialog.findChild<QStackedWidget*>();
    QWidget* holder = views ? views->parentWidget() : nullptr;
    auto* column = holder ? qobject_cast<QBoxLayout*>(holder->layout()) : nullptr;
    if (!column)
        return;
    auto* label = new QLabel(prompt, holder);
    label->setObjectName(QStringLiteral("prompt"));
    column->insertWidget(column->indexOf(views), label);
}

QString ChosenFolder(const QFileDialog& dialog)
{
    const QList<QUrl> chosen = dialog.selectedUrls();
    // An item that is not a local folder (a network location, a virtual place)
    // has no path the run could write to.
    if (chosen.isEmpty() || !chosen.front().isLocalFile())
        return {};
    return chosen.front().toLocalFile();
}

} // namespace

QtFolderBrowser::~QtFolderBrowser()
{
    delete dialog_;
}

void QtFolderBrowser::Open(QObject& receiver, Answer answer)
{
    // A browser that is closing no longer counts as open.
    if (dialog_ && dialog_->isVisible()) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    // No parent: the browser has no owner, so the window it was opened from
    // stays usable, and closing that window still ends the program.
    auto* dialog = new QFileDialog;
    dialog_ = dialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    // The desktop's own dialog could not show the prompt.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    AddPrompt(*dialog, QStringLiteral("Выберите папку"));

    QObject::connect(dialog, &QDialog::finished, &receiver, [dialog, answer = std::move(answer)](int result) {
        answer(result == QDialog::Accepted ? ChosenFolder(*dialog) : QString());
    });
    QObject::connect(&receiver, &QObject::destroyed, dialog, [dialog] { delete dialog; });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void QtMessageBoxes::ShowError(const QString& text)
{
    ShowModalBox(owner_, QStringLiteral("Error"), text, QMessageBox::NoIcon);
}

void QtMessageBoxes::ShowException(const QString& text)
{
    ShowModalBox(owner_, QApplication::applicationDisplayName(), text, QMessageBox::Critical);
}

bool QtShell::OpenDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
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

void QtShell::ShowInFolder(const QString& path, QObject& receiver, NotShown notShown)
{
    const QFileInfo file(path);
    const QUrl folder = QUrl::fromLocalFile(file.absolutePath());
    if (!bus_) bus_ = QDBusConnection::sessionBus();
    if (!file.exists() || !FileManagerOnBus(*bus_)) {
        if (!QDesktopServices::openUrl(folder)) notShown();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(FileManagerService, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       FileManagerService, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString()} << QString();
    // Starting a file manager can take a while: wait for it without
    // blocking the window, and open the folder plainly if it says no.
    constexpr int StartTimeoutMs = 15000;
    auto* reply = new QDBusPendingCallWatcher(bus_->asyncCall(call, StartTimeoutMs));
    QObject::connect(reply, &QDBusPendingCallWatcher::finished,
                     [folder, receiver = QPointer<QObject>(&receiver), notShown = std::move(notShown)](
                         QDBusPendingCallWatcher* finished) {
                         if (finished->isError() && !QDesktopServices::openUrl(folder) && receiver) notShown();
                         finished->deleteLater();
                     });
}

} // namespace vantrel::platform
