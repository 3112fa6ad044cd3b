#include "engine/decode_stream.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>

#include "engine/chunk_pipeline.h"
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

// Overlapping pays for starting its threads only on sources of a few
// chunks and a few MiB; the many small files of a typical run decode without.
constexpr std::uint64_t OverlapFromChunks = 3;
constexpr std::uint64_t OverlapFromBytes = 3u << 20;

// A few buffers: one being read, one decoded, one written, one spare.
constexpr std::size_t OverlapBuffers = 4;

bool Overlaps(const DecodeStrategy& strategy, std::int64_t size, std::size_t chunkSize)
{
    switch (strategy.overlap) {
    case DecodeStrategy::Overlap::Always: return true;
    case DecodeStrategy::Overlap::Never: return false;
    case DecodeStrategy::Overlap::ForLargeSources: break;
    }
    const std::uint64_t measured = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    return measured >= OverlapFromBytes && measured >= OverlapFromChunks * chunkSize;
}

// Read, decode in place, write, report: one chunk after the other.
StreamVerdict DecodeInTurn(ByteSource& source, StreamDecoder& decoder, ByteSink& sink,
                           const ProgressReporter& reporter, std::size_t chunkSize)
{
    // Every byte is written by a read before it is used; no need to clear them.
    const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(chunkSize);
    std::uint64_t processed = 0;

    for (;;) {
        const std::size_t read = std::min(source.Read({buffer.get(), chunkSize}), chunkSize);
        if (read == 0) {
            // Running out of bytes because of an error is not the end of the file.
            if (source.Failed())
                return StreamVerdict::ReadFailed;
            reporter.AtEnd(processed);
            return StreamVerdict::Accepted;
        }

        const std::size_t decoded = decoder.Decode({buffer.get(), read}, buffer.get());
        if (decoded > 0 && !sink.Write({buffer.get(), decoded}))
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

// The same sequence of writes, reports and verdicts as DecodeInTurn, with the
// next chunk read and decoded while the last one is written. A chunk's report
// waits for its write, and the next write waits for that report, so that a
// stop or a failed write leaves the sink as it would without overlap.
StreamVerdict DecodeOverlapped(ReadAhead& reader, WriteBehind& writer, StreamDecoder& decoder,
                               const ProgressReporter& reporter)
{
    std::uint64_t processed = 0;
    std::uint8_t* writing = nullptr; // the buffer of the write in progress
    const auto finishWrite = [&] {
        const bool written = writer.Finish();
        reader.Recycle(std::exchange(writing, nullptr));
        return written;
    };

    for (;;) {
        const ReadAhead::Chunk chunk = reader.Next();
        const std::size_t decoded = chunk.size > 0 ? decoder.Decode({chunk.bytes, chunk.size}, chunk.bytes) : 0;

        if (writing) {
            if (!finishWrite())
                return StreamVerdict::WriteFailed;
            if (!reporter.AfterBytes(processed))
                return StreamVerdict::Stopped;
        }

        if (chunk.error)
            std::rethrow_exception(chunk.error);
        if (chunk.size == 0) {
            if (chunk.failed)
                return StreamVerdict::ReadFailed;
            reporter.AtEnd(processed);
            return StreamVerdict::Accepted;
        }

        if (decoded > 0) {
            writer.Start({chunk.bytes, decoded});
            writing = chunk.bytes;
            processed += decoded;
        } else {
            reader.Recycle(chunk.bytes);
        }

        if (decoder.KeyRejected()) {
            if (writing) {
                if (!finishWrite())
                    return StreamVerdict::WriteFailed;
                reporter.AfterBytes(processed);
            }
            return StreamVerdict::Rejected;
        }
    }
}

} // namespace

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables)
{
    return DecodeStream(source, size, sink, keyCheck, progress, tables, DecodeStrategy{});
}

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables,
                           std::size_t chunkSize)
{
    DecodeStrategy strategy;
    strategy.chunkSize = chunkSize;
    return DecodeStream(source, size, sink, keyCheck, progress, tables, strategy);
}

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables,
                           const DecodeStrategy& strategy)
{
    // A source that cannot go back to its first byte would decode only its tail.
    if (!source.Rewind())
        return StreamVerdict::ReadFailed;

    StreamDecoder decoder(tables, keyCheck, strategy.scanPath);
    const ProgressReporter reporter(size, progress);
    const std::size_t chunkSize = BufferSizeFor(size, strategy.chunkSize);
    if (!Overlaps(strategy, size, chunkSize))
        return DecodeInTurn(source, decoder, sink, reporter, chunkSize);

    // The writer may still use a buffer of the reader: it goes first.
    std::optional<ReadAhead> reader;
    std::optional<WriteBehind> writer;
    try {
        writer.emplace(sink);
        reader.emplace(source, chunkSize, OverlapBuffers);
    } catch (const std::system_error&) {
        // No thread to be had: nothing has been read yet, so decode in turn.
        reader.reset();
        writer.reset();
        return DecodeInTurn(source, decoder, sink, reporter, chunkSize);
    }
    return DecodeOverlapped(*reader, *writer, decoder, reporter);
}

} // namespace vantrel::engine
