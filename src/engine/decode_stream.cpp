#include "engine/decode_stream.h"

#include <algorithm>
#include <memory>

#include "engine/stream_decoder.h"

namespace vantrel::engine {

namespace {

// Turns byte counts into the percentages a byte-at-a-time decoder would have
// reported: after byte number c (counting from 1) it reports (c - 1) * 100 / size.
class ProgressReporter {
public:
    ProgressReporter(std::int64_t size, const ProgressCallback& callback)
        : size_(size), callback_(callback)
    {
    }

    // The report that followed the last of `processed` bytes. False asks to stop.
    bool AfterBytes(std::uint64_t processed) const
    {
        if (processed == 0)
            return true;
        return Report(processed - 1);
    }

    // The report at the end of the source.
    void AtEnd(std::uint64_t processed) const { Report(processed); }

private:
    bool Report(std::uint64_t count) const
    {
        if (size_ <= 0 || !callback_)
            return true;
        return callback_(static_cast<double>(count) * 100.0 / static_cast<double>(size_));
    }

    std::int64_t size_;
    const ProgressCallback& callback_;
};

// Small sources need no large buffers. A measure that is off costs at most
// some extra reads.
std::size_t BufferSizeFor(std::int64_t size, std::size_t chunkSize)
{
    constexpr std::uint64_t SmallestBuffer = 4096;
    chunkSize = std::max<std::size_t>(chunkSize, 1);
    if (size <= 0)
        return chunkSize;
    const std::uint64_t enough = std::max(static_cast<std::uint64_t>(size), SmallestBuffer);
    return static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, enough));
}

} // namespace

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables)
{
    return DecodeStream(source, size, sink, keyCheck, progress, tables, DefaultChunkSize);
}

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables,
                           std::size_t chunkSize)
{
    // A source that cannot go back to its first byte would decode only its tail.
    if (!source.Rewind())
        return StreamVerdict::ReadFailed;

    StreamDecoder decoder(tables, keyCheck);
    const ProgressReporter reporter(size, progress);
    chunkSize = BufferSizeFor(size, chunkSize);
    // Every byte is written by a read before it is used; no need to clear them.
    const auto input = std::make_unique_for_overwrite<std::uint8_t[]>(chunkSize);
    const auto output = std::make_unique_for_overwrite<std::uint8_t[]>(chunkSize);
    std::uint64_t processed = 0;

    for (;;) {
        const std::size_t read = std::min(source.Read({input.get(), chunkSize}), chunkSize);
        if (read == 0) {
            // Running out of bytes because of an error is not the end of the file.
            if (source.Failed())
                return StreamVerdict::ReadFailed;
            reporter.AtEnd(processed);
            return StreamVerdict::Accepted;
        }

        const std::size_t decoded = decoder.Decode({input.get(), read}, output.get());
        if (decoded > 0 && !sink.Write({output.get(), decoded}))
            return StreamVerdict::WriteFailed;
        processed += decoded;

        if (decoder.KeyRejected()) {
            if (decoded > 0)
                reporter.AfterBytes(processed);
            return StreamVerdict::Rejected;
        }
        if (!reporter.AfterBytes(processed))
            return StreamVerdict::Stopped;
    }
}

} // namespace vantrel::engine
