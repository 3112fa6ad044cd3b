#pragma once
// Decoding of one byte stream: plain bytes are copied, the regions between
// "&&&&&" and "#####" are deciphered with the user table, and with the key
// check on, check fields after "~~~~~" can prove the key wrong.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "engine/byte_stream.h"
#include "engine/cipher_tables.h"
#include "engine/decode_buffers.h"
#include "engine/scan_kernels.h"

namespace vantrel::engine {

enum class StreamVerdict {
    Accepted,    // the whole source was processed
    Rejected,    // the key check proved the key wrong
    ReadFailed,  // the source reported a read error
    WriteFailed, // the sink could not take a byte
    Stopped,     // the progress callback asked to stop
};

// Receives count * 100 / size for the bytes processed so far; the value is
// exactly what a byte-at-a-time report would give at that point. Return false
// to stop decoding (the verdict is then Stopped).
using ProgressCallback = std::function<bool(double percent)>;

struct DecodeTables {
    const SubstitutionTable& user = UserTable;
    const SubstitutionTable& fixed = FixedTable;
};

// Rewinds the source first (ReadFailed when it cannot), then decodes it to
// its end. Whatever verdict, the bytes decoded before it stay in the sink;
// after Rejected that is everything before the byte that proved the key wrong.
//
// size is the caller's measure of the source, used for progress only; with
// size <= 0 nothing is reported. Progress is reported once per chunk read and
// once more at the end (100 for a whole file); an empty progress callback is
// allowed. A stop asked for at that last report comes too late: the whole
// source has been decoded and the verdict is Accepted. What the source, the
// sink or the callback throws reaches the caller, from whatever thread.
StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables = {});

// The most that is read and written at a time (less for small sources).
// Small enough that a chunk read and decoded on one core is still in the
// caches when another writes it (a large file goes about 5% quicker than
// with chunks of 1 MiB); large enough that system calls stay rare. Reads
// and writes of it pass the file streams' buffers by.
inline constexpr std::size_t DefaultChunkSize = 256 * 1024;

// How decoding goes about its work; the result never depends on it, only
// how often progress is reported (once per chunk) and how long it takes.
struct DecodeStrategy {
    // With overlap, a helper thread reads and decodes a few chunks ahead
    // while the calling thread writes and reports progress, so that the
    // writing of one chunk overlaps the reading and decoding of the next;
    // when the helper has not got to the next chunk, the calling thread
    // decodes it itself. The sink, the reports and the verdict come exactly
    // as without: only the source may have been read further when decoding
    // ends early.
    enum class Overlap {
        ForLargeSources, // from a few chunks and a few MiB on
        Always,
        Never,
    };

    std::size_t chunkSize = DefaultChunkSize; // at least 1
    ScanPath scanPath = FastestScanPath();    // a path the processor lacks gives the fastest one
    Overlap overlap = Overlap::ForLargeSources;
    // Where the chunks are read and decoded: kept by a caller that decodes
    // stream after stream, so that each finds its memory in place; nullptr
    // gives the stream memory of its own.
    DecodeBuffers* buffers = nullptr;
};

StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables,
                           const DecodeStrategy& strategy);

} // namespace vantrel::engine
