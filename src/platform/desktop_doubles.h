#pragma once
// Test doubles of the desktop services: dialogs answer from a script, boxes
// and the shell only record what they were asked to show or open.
#include "platform/desktop_services.h"
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

// Answers from the script in order; an empty answer is a cancel, as it is
// once the script is used up.
class ScriptedFolderBrowser final : public FolderBrowser {
public:
    void Choose(QString folder) { answers_.push_back(std::move(folder)); }
    void Cancel() { answers_.emplace_back(); }
    int Calls() const { return calls_; }

    QString Execute() override;

private:
    std::deque<QString> answers_;
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

// Records every document it is asked to open; opens them all unless told
// that no program is there.
class RecordingShell final : public Shell {
public:
    const QStringList& Opened() const { return opened_; }
    void SetNoProgram(bool none) { noProgram_ = none; }
    bool OpenDocument(const QString& path) override
    {
        opened_.append(path);
        return !noProgram_;
    }

private:
    QStringList opened_;
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
