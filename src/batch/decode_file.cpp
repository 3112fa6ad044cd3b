#include "batch/decode_file.h"

#include "batch/messages.h"
#include "engine/decode_stream.h"

namespace vantrel::batch {
namespace {

FileOutcome OutcomeOf(engine::StreamVerdict verdict)
{
    switch (verdict) {
    case engine::StreamVerdict::Accepted: return FileOutcome::Decoded;
    case engine::StreamVerdict::Rejected: return FileOutcome::Rejected;
    case engine::StreamVerdict::ReadFailed: return FileOutcome::ReadError;
    case engine::StreamVerdict::WriteFailed: return FileOutcome::WriteError;
    case engine::StreamVerdict::Stopped: return FileOutcome::Stopped;
    }
    return FileOutcome::ReadError;
}

} // namespace

std::string_view StatusWord(FileOutcome outcome)
{
    switch (outcome) {
    case FileOutcome::Decoded: return DecodedStatus;
    case FileOutcome::Rejected: return RejectedStatus;
    case FileOutcome::CannotOpen: return CannotOpenStatus;
    case FileOutcome::ReadError: return ReadErrorStatus;
    case FileOutcome::WriteError: return WriteErrorStatus;
    case FileOutcome::Stopped: return NotDecodedStatus;
    }
    return {};
}

FileResult DecodeFile(platform::FileSystem& files, const std::string& sourcePath, const OutputPlacement& placement,
                      bool keyCheck, DecodeObserver& observer)
{
    std::unique_ptr<platform::InputFile> source = files.OpenForReading(sourcePath);
    if (!source) return {FileOutcome::CannotOpen, {}};
    observer.Started();

    const std::optional<std::int64_t> size = source->Size();
    if (!size) return {FileOutcome::ReadError, {}};

    NewOutput output = CreateOutput(files, placement, sourcePath);
    if (!output.file) return {FileOutcome::WriteError, {}};

    const engine::StreamVerdict verdict = engine::DecodeStream(
        *source, *size, *output.file, keyCheck, [&observer](double percent) { return observer.Progress(percent); });
    FileOutcome outcome = OutcomeOf(verdict);
    if (outcome == FileOutcome::Rejected) observer.Rejected();

    // Bytes may still wait in the output's buffer: only a clean close makes
    // the output complete.
    const bool closed = output.file->Close();
    output.file.reset();
    source.reset();
    if (outcome == FileOutcome::Decoded && !closed) outcome = FileOutcome::WriteError;

    if (outcome != FileOutcome::Decoded) {
        files.DeleteFile(output.path);
        return {outcome, {}};
    }
    return {FileOutcome::Decoded, std::move(output.path)};
}

} // namespace vantrel::batch
