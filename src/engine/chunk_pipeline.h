#pragma once
// Reading ahead and writing behind on helper threads, so that the disk's
// work overlaps the decoding. Each source and sink is only ever used by one
// thread at a time; what either throws is carried over to the thread that
// waits for it.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "engine/byte_stream.h"

namespace vantrel::engine {

// Reads the source chunk by chunk into a few buffers of its own, one Read
// call per chunk, as far ahead as free buffers allow.
class ReadAhead {
public:
    struct Chunk {
        std::uint8_t* bytes = nullptr;
        std::size_t size = 0;      // 0: the source is exhausted, failed or threw; no chunk follows
        bool failed = false;       // the source reported a read error
        std::exception_ptr error;  // what the source threw
    };

    // The source must be positioned already; reading starts at once.
    ReadAhead(ByteSource& source, std::size_t chunkSize, std::size_t bufferCount);
    ~ReadAhead(); // waits for a read in progress
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next chunk in source order; waits for it.
    Chunk Next();
    // A chunk's buffer may take new bytes now.
    void Recycle(std::uint8_t* bytes);

private:
    void Run();

    ByteSource& source_;
    const std::size_t chunkSize_;
    std::vector<std::unique_ptr<std::uint8_t[]>> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::uint8_t*> free_;
    std::deque<Chunk> ready_;
    bool stopping_ = false;
    std::thread thread_; // last: starts once everything above exists
};

// Writes one run of bytes at a time while the caller goes on.
class WriteBehind {
public:
    explicit WriteBehind(ByteSink& sink);
    ~WriteBehind(); // waits for a write in progress
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Starts writing bytes, which stay untouched until Finish. Only one
    // write at a time: Finish the previous one first.
    void Start(std::span<const std::uint8_t> bytes);
    // Waits for the write; the sink's result, or what it threw.
    bool Finish();

private:
    void Run();

    ByteSink& sink_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::span<const std::uint8_t> bytes_;
    bool pending_ = false; // started and not yet written
    bool written_ = false;
    std::exception_ptr error_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace vantrel::engine
