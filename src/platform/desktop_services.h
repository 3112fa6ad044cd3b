#pragma once
// The desktop services the commands use, behind interfaces so that tests can
// script dialog answers and see every message shown.
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace vantrel::platform {

// The multi-select "open files" dialog with one "*.txt" filter.
class OpenFilesDialog {
public:
    virtual ~OpenFilesDialog() = default;
    // The chosen paths in the dialog's order, or nothing when cancelled.
    virtual std::optional<QStringList> Execute() = 0;
};

// The folder browser ("Выберите папку").
class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // The chosen folder's path; empty when cancelled or when the chosen item
    // has no file-system path.
    virtual QString Execute() = 0;
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

// The shell's "open" action on a document.
class Shell {
public:
    virtual ~Shell() = default;
    // Whether a program took the document; the caller tells the user when
    // none did.
    virtual bool OpenDocument(const QString& path) = 0;
};

// Everything the window's commands need from the desktop, in one place.
struct DesktopServices {
    OpenFilesDialog& openFiles;
    FolderBrowser& folderBrowser;
    MessageBoxes& messages;
    Shell& shell;
};

} // namespace vantrel::platform
