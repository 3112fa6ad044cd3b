#pragma once
// Test doubles of the desktop services: dialogs answer from a script, boxes
// and the shell only record what they were asked to show or open.
#include "platform/desktop_services.h"
#include <QPointer>
#include <deque>
#include <vector>

namespace vantrel::platform {

// Answers from the script in order; cancels once the script is used up.
class ScriptedOpenFilesDialog final : public OpenFilesDialog {
public:
    void Choose(QStringList paths) { answers_.emplace_back(std::move(paths)); }
    void Cancel() { answers_.emplace_back(std::nullopt); }
    int Calls() const { return calls_; }

    std::optional<QStringList> Execute() override;

private:
    std::deque<std::optional<QStringList>> answers_;
    int calls_ = 0;
};

// Each Open takes the next answer of the script: a folder (empty: cancelled)
// given at once, or, after KeepOpen, a browser that stays open until Close.
// Once the script is used up, Open cancels at once.
class ScriptedFolderBrowser final : public FolderBrowser {
public:
    void Choose(QString folder) { answers_.emplace_back(std::move(folder)); }
    void Cancel() { answers_.emplace_back(QString()); }
    void KeepOpen() { answers_.emplace_back(std::nullopt); }
    // Closes the open browser with `folder` (empty: cancelled).
    void Close(const QString& folder);

    bool IsOpen() const { return pending_ && receiver_; }
    // Browsers opened; an Open while one is open only brings it forward.
    int Calls() const { return calls_; }

    void Open(QObject& receiver, Answer answer) override;

private:
    std::deque<std::optional<QString>> answers_;
    QPointer<QObject> receiver_;
    Answer pending_;
    int calls_ = 0;
};

class RecordingMessageBoxes final : public MessageBoxes {
public:
    enum class Kind { Error, Exception };
    struct Shown {
        Kind kind;
        QString text;
        bool operator==(const Shown&) const = default;
    };

    const std::vector<Shown>& All() const { return shown_; }
    QStringList Errors() const;
    QStringList Exceptions() const;
    void Clear() { shown_.clear(); }

    void ShowError(const QString& text) override { shown_.push_back({Kind::Error, text}); }
    void ShowException(const QString& text) override { shown_.push_back({Kind::Exception, text}); }

private:
    std::vector<Shown> shown_;
};

// Records every document it is asked to open or show in its folder; opens
// and shows them all unless told that no program is there.
class RecordingShell final : public Shell {
public:
    const QStringList& Opened() const { return opened_; }
    void SetNoProgram(bool none) { noProgram_ = none; }
    bool OpenDocument(const QString& path) override
    {
        opened_.append(path);
        return !noProgram_;
    }

    const QStringList& ShownInFolder() const { return shownInFolder_; }
    void ShowInFolder(const QString& path, QObject&, NotShown notShown) override
    {
        shownInFolder_.append(path);
        if (noProgram_) notShown();
    }

private:
    QStringList opened_;
    QStringList shownInFolder_;
    bool noProgram_ = false;
};

// All four doubles, ready to hand to a window under test.
struct DesktopDoubles {
    ScriptedOpenFilesDialog openFiles;
    ScriptedFolderBrowser folderBrowser;
    RecordingMessageBoxes messages;
    RecordingShell shell;

    DesktopServices Services() { return {openFiles, folderBrowser, messages, shell}; }
};

} // namespace vantrel::platform
