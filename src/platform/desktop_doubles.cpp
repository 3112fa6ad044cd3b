#include "platform/desktop_doubles.h"

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

QString ScriptedFolderBrowser::Execute()
{
    ++calls_;
    if (answers_.empty())
        return {};
    QString answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
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
