#pragma once
// Decoding of one byte stream: plain bytes are copied, the regions between
// "&&&&&" and "#####" are deciphered with the user table, and with the key
// check on, check fields after "~~~~~" can prove the key wrong.
#include <cstdint>
#include <functional>

#include "engine/byte_stream.h"
#include "engine/cipher_tables.h"

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

// size is the caller's measure of the source, used for progress only.
StreamVerdict DecodeStream(ByteSource& source, std::int64_t size, ByteSink& sink, bool keyCheck,
                           const ProgressCallback& progress, const DecodeTables& tables = {});

} // namespace vantrel::engine
