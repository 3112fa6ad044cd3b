#include "platform/testing/desktop_doubles.h"

#include <utility>

namespace vantrel::platform {

std::optional<QStringList> ScriptedOpenFilesDialog::Execute()
{
    ++calls_;
    if (answers_.empty())
        return std::nullopt;
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

void ScriptedFolderBrowser::Open(QObject& receiver, Answer answer)
{
    if (IsOpen())
        return;
    ++calls_;
    std::optional<QString> next = QString();
    if (!answers_.empty()) {
        next = std::move(answers_.front());
        answers_.pop_front();
    }
    if (next) {
        answer(*next);
        return;
    }
    receiver_ = &receiver;
    pending_ = std::move(answer);
}

void ScriptedFolderBrowser::Close(const QString& folder)
{
    Answer answer = std::exchange(pending_, nullptr);
    if (answer && receiver_)
        answer(folder);
}

namespace {
QStringList TextsOf(const std::vector<RecordingMessageBoxes::Shown>& shown, RecordingMessageBoxes::Kind kind)
{
    QStringList texts;
    for (const auto& box : shown)
        if (box.kind == kind)
            texts.append(box.text);
    return texts;
}
} // namespace

QStringList RecordingMessageBoxes::Errors() const { return TextsOf(shown_, Kind::Error); }
QStringList RecordingMessageBoxes::Exceptions() const { return TextsOf(shown_, Kind::Exception); }

} // namespace vantrel::platform
