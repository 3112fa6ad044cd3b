#include "engine/chunk_pipeline.h"

#include <algorithm>
#include <utility>

namespace vantrel::engine {

ReadAhead::ReadAhead(ByteSource& source, std::size_t chunkSize, std::size_t bufferCount)
    : source_(source), chunkSize_(chunkSize)
{
    for (std::size_t i = 0; i < bufferCount; ++i) {
        // Every byte is written by a read before it is used; no need to clear them.
        buffers_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(chunkSize));
        free_.push_back(buffers_.back().get());
    }
    thread_ = std::thread(&ReadAhead::Run, this);
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ReadAhead::Run()
{
    for (;;) {
        Chunk chunk;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !free_.empty(); });
            if (stopping_)
                return;
            chunk.bytes = free_.front();
            free_.pop_front();
        }
        try {
            chunk.size = std::min(source_.Read({chunk.bytes, chunkSize_}), chunkSize_);
            chunk.failed = chunk.size == 0 && source_.Failed();
        } catch (...) {
            chunk.size = 0;
            chunk.error = std::current_exception();
        }
        {
            const std::lock_guard lock(mutex_);
            ready_.push_back(chunk);
        }
        changed_.notify_all();
        if (chunk.size == 0)
            return;
    }
}

ReadAhead::Chunk ReadAhead::Next()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !ready_.empty(); });
    const Chunk chunk = ready_.front();
    ready_.pop_front();
    return chunk;
}

void ReadAhead::Recycle(std::uint8_t* bytes)
{
    {
        const std::lock_guard lock(mutex_);
        free_.push_back(bytes);
    }
    changed_.notify_all();
}

WriteBehind::WriteBehind(ByteSink& sink) : sink_(sink), thread_(&WriteBehind::Run, this) {}

WriteBehind::~WriteBehind()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void WriteBehind::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || pending_; });
        if (!pending_)
            return;
        const std::span<const std::uint8_t> bytes = bytes_;
        lock.unlock();
        bool written = false;
        std::exception_ptr error;
        try {
            written = sink_.Write(bytes);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        written_ = written;
        error_ = error;
        pending_ = false;
        changed_.notify_all();
    }
}

void WriteBehind::Start(std::span<const std::uint8_t> bytes)
{
    {
        const std::lock_guard lock(mutex_);
        bytes_ = bytes;
        pending_ = true;
    }
    changed_.notify_all();
}

bool WriteBehind::Finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
    return written_;
}

} // namespace vantrel::engine
