#pragma once
// The desktop services as this desktop provides them: Qt's dialogs, message
// boxes and the desktop's default application for a document.
#include "platform/desktop_services.h"
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
    bool OpenDocument(const QString& path) override;
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
