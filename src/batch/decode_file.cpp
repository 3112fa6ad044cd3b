#include "batch/decode_file.h"

#include <cerrno>
#include <new>
#include <system_error>

#include "batch/messages.h"
#include "engine/decode_stream.h"

namespace vantrel::batch {
namespace {

// Counts what the decoder gets from the source since its last rewind, so
// that a source that ends short of its measured size is caught.
class CountingSource final : public engine::ByteSource {
public:
    explicit CountingSource(engine::ByteSource& source) : source_(source) {}

    bool Rewind() override
    {
        count_ = 0;
        return source_.Rewind();
    }
    std::size_t Read(std::span<std::uint8_t> buffer) override
    {
        const std::size_t got = source_.Read(buffer);
        count_ += got;
        return got;
    }
    bool Failed() const override { return source_.Failed(); }
    std::uint64_t Count() const { return count_; }

private:
    engine::ByteSource& source_;
    std::uint64_t count_ = 0;
};

FileResult DecodeOpenFile(platform::FileSystem& files, std::unique_ptr<platform::InputFile> source,
                          const std::string& sourcePath, const OutputPlacement& placement, bool keyCheck,
                          DecodeObserver& observer, engine::DecodeBuffers* buffers)
{
    const std::optional<std::int64_t> size = source->Size();
    if (!size) return {FileOutcome::ReadError, {}, source->FailureReason()};

    const platform::OutputAccess access{OutputPermissions(source->Permissions()), source->Group()};
    StartedOutput started = StartOutput(files, placement, sourcePath, access);
    if (!started.output) return {FileOutcome::WriteError, {}, std::move(started.error)};
    PendingOutput& output = *started.output;

    CountingSource counted(*source);
    engine::DecodeStrategy strategy;
    strategy.buffers = buffers;
    const engine::StreamVerdict verdict = engine::DecodeStream(
        counted, *size, output.Sink(), keyCheck, [&observer](double percent) { return observer.Progress(percent); },
        {}, strategy);

    FileResult result;
    switch (verdict) {
    case engine::StreamVerdict::Accepted:
        // A file cut short while it was read would pass for whole; one that
        // grew is decoded as far as it was read.
        if (static_cast<std::int64_t>(counted.Count()) < *size)
            result = {FileOutcome::ReadError, {}, std::string(ShrankReason)};
        else
            result.outcome = FileOutcome::Decoded;
        break;
    case engine::StreamVerdict::Rejected:
        observer.Rejected();
        result.outcome = FileOutcome::Rejected;
        break;
    case engine::StreamVerdict::ReadFailed:
        result = {FileOutcome::ReadError, {}, source->FailureReason()};
        break;
    case engine::StreamVerdict::WriteFailed:
        result = {FileOutcome::WriteError, {}, output.FailureReason()};
        break;
    case engine::StreamVerdict::Stopped:
        result.outcome = FileOutcome::Stopped;
        break;
    }
    if (result.outcome != FileOutcome::Decoded) return result; // the output goes with `started`

    if (std::optional<std::string> path = output.Complete()) {
        result.outputPath = std::move(*path);
        return result;
    }
    return {FileOutcome::WriteError, {}, output.FailureReason()};
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
    case FileOutcome::DecodeError: return DecodeErrorStatus;
    }
    return {};
}

FileResult DecodeFile(platform::FileSystem& files, const std::string& sourcePath, const OutputPlacement& placement,
                      bool keyCheck, DecodeObserver& observer, engine::DecodeBuffers* buffers)
{
    // Whatever is thrown, the files are released on the way out and an
    // unfinished output leaves nothing; the run goes on with the next file.
    try {
        platform::OpenedFile opened = files.OpenForReading(sourcePath);
        if (!opened.file) return {FileOutcome::CannotOpen, {}, std::move(opened.error)};
        observer.Started();
        return DecodeOpenFile(files, std::move(opened.file), sourcePath, placement, keyCheck, observer, buffers);
    } catch (const std::bad_alloc&) {
        return {FileOutcome::DecodeError, {}, platform::SystemErrorText(ENOMEM)};
    } catch (const std::system_error& error) {
        return {FileOutcome::DecodeError, {}, error.code().message()};
    } catch (const std::exception& error) {
        return {FileOutcome::DecodeError, {}, error.what()};
    } catch (...) {
        return {FileOutcome::DecodeError, {}, std::string(UnknownFailureReason)};
    }
}

} // namespace vantrel::batch
