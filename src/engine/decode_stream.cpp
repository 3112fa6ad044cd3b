#include "engine/decode_stream.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "engine/chunk_decoders.h"
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

// Decoding ahead pays for starting its thread only on sources of a few
// chunks and a few MiB; the many small files of a typical run decode without.
constexpr std::uint64_t AheadFromChunks = 3;
constexpr std::uint64_t AheadFromBytes = 3u << 20;

// One chunk being read and decoded, one written, the others ready in
// between: the helper, once it has filled them all, sleeps until half are
// written, so that it is woken once per four chunks, not for every one.
constexpr std::size_t AheadBuffers = 8;

bool DecodesAhead(const DecodeStrategy& strategy, std::int64_t size, std::size_t chunkSize)
{
    switch (strategy.overlap) {
    case DecodeStrategy::Overlap::Always: return true;
    case DecodeStrategy::Overlap::Never: return false;
    case DecodeStrategy::Overlap::ForLargeSources: break;
    }
    const std::uint64_t measured = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    return measured >= AheadFromBytes && measured >= AheadFromChunks * chunkSize;
}

// Writes and reports chunk after chunk until one ends the stream.
template <class Chunks>
StreamVerdict WriteChunks(Chunks& chunks, ByteSink& sink, const ProgressReporter& reporter)
{
    std::uint64_t processed = 0;
    for (;;) {
        const DecodedChunk chunk = chunks.Next();
        if (chunk.error)
            std::rethrow_exception(chunk.error);
        if (chunk.end) {
            if (chunk.failed)
                return StreamVerdict::ReadFailed;
            reporter.AtEnd(processed);
            return StreamVerdict::Accepted;
        }

        if (chunk.size > 0 && !sink.Write(chunk.Bytes()))
            return StreamVerdict::WriteFailed;
        processed += chunk.size;
        chunks.Done(chunk);

        if (chunk.rejected) {
            if (chunk.size > 0)
                reporter.AfterBytes(processed);
            return StreamVerdict::Rejected;
        }
        if (!reporter.AfterBytes(processed))
            return StreamVerdict::Stopped;
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
                           const DecodeStrategy& strategy)
{
    // A source that cannot go back to its first byte would decode only its tail.
    if (!source.Rewind())
        return StreamVerdict::ReadFailed;

    StreamDecoder decoder(tables, keyCheck, strategy.scanPath);
    const ProgressReporter reporter(size, progress);
    const std::size_t chunkSize = BufferSizeFor(size, strategy.chunkSize);
    DecodeBuffers ownBuffers;
    DecodeBuffers& buffers = strategy.buffers ? *strategy.buffers : ownBuffers;
    if (DecodesAhead(strategy, size, chunkSize)) {
        std::optional<ChunkDecoderAhead> ahead;
        try {
            ahead.emplace(source, decoder, chunkSize, buffers.Take(AheadBuffers, chunkSize));
        } catch (const std::system_error&) {
            // No thread to be had; nothing has been read yet.
        }
        if (ahead)
            return WriteChunks(*ahead, sink, reporter);
    }
    ChunkDecoder inTurn(source, decoder, chunkSize, buffers.Take(1, chunkSize).front());
    return WriteChunks(inTurn, sink, reporter);
}

} // namespace vantrel::engine
