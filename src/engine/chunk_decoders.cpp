#include "engine/chunk_decoders.h"

#include <algorithm>

namespace vantrel::engine {

namespace {

// Reads one chunk into buffer and decodes it there.
DecodedChunk ReadAndDecode(ByteSource& source, StreamDecoder& decoder, std::uint8_t* buffer, std::size_t chunkSize)
{
    DecodedChunk chunk;
    chunk.buffer = buffer;
    const std::size_t read = std::min(source.Read({buffer, chunkSize}), chunkSize);
    if (read == 0) {
        chunk.end = true;
        // Running out of bytes because of an error is not the end of the file.
        chunk.failed = source.Failed();
        return chunk;
    }
    chunk.size = decoder.Decode({buffer, read}, buffer);
    chunk.rejected = decoder.KeyRejected();
    return chunk;
}

} // namespace

ChunkDecoder::ChunkDecoder(ByteSource& source, StreamDecoder& decoder, std::size_t chunkSize, std::uint8_t* buffer)
    : source_(source), decoder_(decoder), chunkSize_(chunkSize), buffer_(buffer)
{
}

DecodedChunk ChunkDecoder::Next()
{
    return ReadAndDecode(source_, decoder_, buffer_, chunkSize_);
}

ChunkDecoderAhead::ChunkDecoderAhead(ByteSource& source, StreamDecoder& decoder, std::size_t chunkSize,
                                     std::span<std::uint8_t* const> buffers)
    : source_(source), decoder_(decoder), chunkSize_(chunkSize), free_(buffers.begin(), buffers.end())
{
    thread_ = std::thread(&ChunkDecoderAhead::Run, this);
}

ChunkDecoderAhead::~ChunkDecoderAhead()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ChunkDecoderAhead::DecodeOne()
{
    std::uint8_t* buffer = nullptr;
    {
        const std::lock_guard lock(mutex_);
        if (ended_ || free_.empty())
            return;
        buffer = free_.front();
        free_.pop_front();
    }
    DecodedChunk chunk;
    try {
        chunk = ReadAndDecode(source_, decoder_, buffer, chunkSize_);
    } catch (...) {
        chunk = DecodedChunk{};
        chunk.buffer = buffer;
        chunk.end = true;
        chunk.error = std::current_exception();
    }
    {
        const std::lock_guard lock(mutex_);
        ready_.push_back(chunk);
        ended_ = chunk.end || chunk.rejected;
    }
    changed_.notify_all();
}

void ChunkDecoderAhead::Run()
{
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || ended_ || !free_.empty(); });
            if (stopping_ || ended_)
                return;
        }
        const std::lock_guard turn(readingTurn_);
        DecodeOne();
    }
}

DecodedChunk ChunkDecoderAhead::Next()
{
    const auto takeReady = [this] {
        const DecodedChunk chunk = ready_.front();
        ready_.pop_front();
        return chunk;
    };
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (!ready_.empty())
                return takeReady();
        }
        // Nothing ready: decode it here, unless the helper is at it already.
        // (The caller holds no buffer now, so there is one for the next chunk.)
        if (readingTurn_.try_lock()) {
            const std::lock_guard turn(readingTurn_, std::adopt_lock);
            DecodeOne();
            continue;
        }
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty(); });
        return takeReady();
    }
}

void ChunkDecoderAhead::Done(const DecodedChunk& chunk)
{
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(chunk.buffer);
    }
    changed_.notify_all();
}

} // namespace vantrel::engine
