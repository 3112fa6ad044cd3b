#include "engine/chunk_decoders.h"

#include <algorithm>
#include <chrono>

namespace vantrel::engine {

namespace {

void Pause()
{
#if defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

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
    : source_(source), decoder_(decoder), chunkSize_(chunkSize), free_(buffers.begin(), buffers.end()),
      refillFrom_(std::max<std::size_t>(buffers.size() / 2, 1))
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
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        ready_.push_back(chunk);
        readyCount_.store(ready_.size(), std::memory_order_release);
        ended_ = chunk.end || chunk.rejected;
        wake = callerWaiting_;
    }
    if (wake)
        changed_.notify_all();
}

void ChunkDecoderAhead::Run()
{
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            if (free_.empty())
                changed_.wait(lock, [this] { return stopping_ || ended_ || free_.size() >= refillFrom_; });
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
        readyCount_.store(ready_.size(), std::memory_order_relaxed);
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
        WaitBriefly();
        std::unique_lock lock(mutex_);
        callerWaiting_ = true;
        changed_.wait(lock, [this] { return !ready_.empty(); });
        callerWaiting_ = false;
        return takeReady();
    }
}

void ChunkDecoderAhead::WaitBriefly() const
{
    // About the time a chunk takes to read and decode; polling costs the
    // helper nothing, while a sleep would cost both threads a wake-up.
    constexpr auto Longest = std::chrono::microseconds(200);
    const auto until = std::chrono::steady_clock::now() + Longest;
    for (unsigned polls = 1; readyCount_.load(std::memory_order_acquire) == 0; ++polls) {
        Pause();
        if (polls % 64 == 0 && std::chrono::steady_clock::now() >= until)
            return;
    }
}

void ChunkDecoderAhead::Done(const DecodedChunk& chunk)
{
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(chunk.buffer);
        // The helper sleeps only with no buffer free: the first wake-up
        // that can end its wait is the one at refillFrom_.
        wake = free_.size() == refillFrom_;
    }
    if (wake)
        changed_.notify_all();
}

} // namespace vantrel::engine
