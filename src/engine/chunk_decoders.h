#pragma once
// The source read and decoded a chunk at a time, either when the caller asks
// or a few chunks ahead on a helper thread. Either way the caller gets the
// same chunks in the same order, and only the source has been read further.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <span>
#include <thread>

#include "engine/byte_stream.h"
#include "engine/stream_decoder.h"

namespace vantrel::engine {

struct DecodedChunk {
    std::uint8_t* buffer = nullptr; // the chunk was read into it and decoded in place
    std::size_t size = 0;           // bytes decoded: all that were read, or those before a rejecting byte
    bool rejected = false; // the byte after them proved the key wrong: the last chunk
    bool end = false;      // the source gave no more bytes: the last chunk, without bytes
    bool failed = false;   // with end: because of a read error
    std::exception_ptr error; // with end: what the source or the decoder threw

    std::span<const std::uint8_t> Bytes() const { return {buffer, size}; }
};

// One Read call, then decoding in place, per call of Next, in a buffer of
// at least chunkSize bytes that the caller lends.
class ChunkDecoder {
public:
    ChunkDecoder(ByteSource& source, StreamDecoder& decoder, std::size_t chunkSize, std::uint8_t* buffer);

    DecodedChunk Next();
    // The chunk's bytes may be overwritten now.
    void Done(const DecodedChunk& /*chunk*/) {}

private:
    ByteSource& source_;
    StreamDecoder& decoder_;
    std::size_t chunkSize_;
    std::uint8_t* buffer_;
};

// The same on a helper thread, which stays up to as many chunks ahead of the
// caller as it is lent buffers. Whoever holds the reading turn reads and decodes the next
// chunk: the helper, or the caller itself when nothing is ready and the
// helper is not at it (on a busy machine a new or woken thread may wait a
// scheduler tick for its processor). What the reading meets (a read error,
// an exception) waits in its chunk until the caller gets there.
//
// Waking a thread costs more than a chunk's own work on some systems, so
// the two wake each other as seldom as they can: a helper that has filled
// every buffer sleeps until half of them are free again, and a caller that
// finds nothing ready while the helper is at it first waits a moment
// without sleeping, since the chunk in hand is soon done.
class ChunkDecoderAhead {
public:
    ChunkDecoderAhead(ByteSource& source, StreamDecoder& decoder, std::size_t chunkSize,
                      std::span<std::uint8_t* const> buffers);
    ~ChunkDecoderAhead(); // waits for the chunk in hand
    ChunkDecoderAhead(const ChunkDecoderAhead&) = delete;
    ChunkDecoderAhead& operator=(const ChunkDecoderAhead&) = delete;

    DecodedChunk Next();
    void Done(const DecodedChunk& chunk);

private:
    void Run();
    // With the reading turn held: reads and decodes one chunk into a free
    // buffer, if there is one and the stream has not ended.
    void DecodeOne();
    // Returns once a chunk is ready, or after a moment.
    void WaitBriefly() const;

    ByteSource& source_;
    StreamDecoder& decoder_;
    const std::size_t chunkSize_;
    std::mutex readingTurn_; // source_ and decoder_ belong to its holder
    std::mutex mutex_;       // guards what follows
    std::condition_variable changed_;
    std::deque<std::uint8_t*> free_;
    std::deque<DecodedChunk> ready_;
    const std::size_t refillFrom_;   // free buffers that wake a helper that ran out of them
    std::atomic<std::size_t> readyCount_{0}; // ready_.size(), for waiting without the lock
    bool callerWaiting_ = false;
    bool ended_ = false; // the last chunk is decoded
    bool stopping_ = false;
    std::thread thread_; // last: starts once everything above exists
};

} // namespace vantrel::engine
