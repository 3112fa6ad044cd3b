#pragma once
// The decoding state of one stream, fed a chunk at a time. Runs of bytes that
// cannot complete a marker are copied or deciphered in bulk; only the marker
// bytes themselves take the byte-by-byte path.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/cipher_tables.h"
#include "engine/decode_stream.h"
#include "engine/key_check.h"
#include "engine/markers.h"

namespace vantrel::engine {

class StreamDecoder {
public:
    StreamDecoder(const DecodeTables& tables, bool keyCheck);
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // Decodes input into output, which has room for input.size() bytes.
    // Returns how many bytes were decoded: all of them, or those before the
    // byte that proved the key wrong (KeyRejected() turns true then, and the
    // decoder takes nothing more).
    std::size_t Decode(std::span<const std::uint8_t> input, std::uint8_t* output);

    bool KeyRejected() const { return keyRejected_; }

private:
    void DecodeRun(std::span<const std::uint8_t> run, std::uint8_t* output);
    bool DecodeMarkerByte(std::uint8_t b, std::uint8_t* output);

    DecipherLookup userLookup_;
    DecipherLookup checkLookup_;
    MarkerWindow window_;
    KeyCheck keyCheck_;
    bool deciphering_ = false;
    bool keyRejected_ = false;
};

} // namespace vantrel::engine
