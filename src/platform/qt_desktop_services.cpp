#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
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

bool QtShell::OpenDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace vantrel::platform
