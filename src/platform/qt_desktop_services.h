#pragma once
// The desktop services as this desktop provides them: Qt's dialogs, message
// boxes, the desktop's default application for a document and its file
// manager.
#include "platform/desktop_services.h"
#include <QDBusConnection>
#include <QPointer>
#include <QWidget>

namespace vantrel::platform {

class QtOpenFilesDialog final : public OpenFilesDialog {
public:
    std::optional<QStringList> Execute() override;
};

class QtFolderBrowser final : public FolderBrowser {
public:
    QtFolderBrowser() = default;
    QtFolderBrowser(const QtFolderBrowser&) = delete;
    QtFolderBrowser& operator=(const QtFolderBrowser&) = delete;
    ~QtFolderBrowser() override;

    void Open(QObject& receiver, Answer answer) override;

private:
    QPointer<QWidget> dialog_;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    // The window the boxes belong to; the active window when none was set.
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowError(const QString& text) override;
    void ShowException(const QString& text) override;

private:
    QPointer<QWidget> owner_;
};

class QtShell final : public Shell {
public:
    // On the session bus, reached when first needed.
    QtShell() = default;
    // On the given bus; a disconnected one leaves only the folder fallback.
    explicit QtShell(const QDBusConnection& bus) : bus_(bus) {}

    bool OpenDocument(const QString& path) override;
    // Asks the file manager over D-Bus (org.freedesktop.FileManager1
    // ShowItems), where one is running or can be started.
    void ShowInFolder(const QString& path, QObject& receiver, NotShown notShown) override;

private:
    std::optional<QDBusConnection> bus_;
};

// One instance of each, for the program's lifetime.
struct QtDesktop {
    QtOpenFilesDialog openFiles;
    QtFolderBrowser folderBrowser;
    QtMessageBoxes messages;
    QtShell shell;

    DesktopServices Services() { return {openFiles, folderBrowser, messages, shell}; }
};

} // namespace vantrel::platform
