#pragma once
// The desktop services the commands use, behind interfaces so that tests can
// script dialog answers and see every message shown.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QObject;
class QWidget;

namespace vantrel::platform {

// The multi-select "open files" dialog with one "*.txt" filter.
class OpenFilesDialog {
public:
    virtual ~OpenFilesDialog() = default;
    // The chosen paths in the dialog's order, or nothing when cancelled.
    virtual std::optional<QStringList> Execute() = 0;
};

// The folder browser ("Выберите папку"). It has no owner: the window it was
// opened from stays usable while it is open.
class FolderBrowser {
public:
    // Receives the chosen folder's path; empty when cancelled or when the
    // chosen item has no file-system path.
    using Answer = std::function<void(const QString& folder)>;

    virtual ~FolderBrowser() = default;
    // Shows the browser and returns at once. `answer` is called when it
    // closes, unless `receiver` is destroyed first, which closes it too.
    // While a browser is open, Open only brings that one to the front, and
    // the answer goes to the caller that opened it.
    virtual void Open(QObject& receiver, Answer answer) = 0;
};

// The application's modal message box.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Caption "Error", an OK button, no icon; waits until closed.
    virtual void ShowError(const QString& text) = 0;
    // Caption the application title, an OK button, the stop icon. The text is
    // shown as given: callers apply the full-stop rule (ExceptionBoxText).
    virtual void ShowException(const QString& text) = 0;
};

// The shell's "open" action on a document, and its file manager.
class Shell {
public:
    virtual ~Shell() = default;
    // Whether a program took the document; the caller tells the user when
    // none did.
    virtual bool OpenDocument(const QString& path) = 0;

    // Called when no program could show the folder; the caller tells the user.
    using NotShown = std::function<void()>;

    // The file's folder in the desktop's file manager with the file
    // selected, or, where no file manager offers that, the folder opened
    // with the desktop's default program. Returns at once; `notShown` is
    // called, then or later, when neither could show it, unless `receiver`
    // is gone by then.
    virtual void ShowInFolder(const QString& path, QObject& receiver, NotShown notShown) = 0;
};

// Everything the window's commands need from the desktop, in one place.
struct DesktopServices {
    OpenFilesDialog& openFiles;
    FolderBrowser& folderBrowser;
    MessageBoxes& messages;
    Shell& shell;
};

} // namespace vantrel::platform
