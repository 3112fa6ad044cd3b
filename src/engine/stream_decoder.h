#pragma once
// The decoding state of one stream, fed a chunk at a time. Stretches in which
// no check marker ends are decoded in bulk by the scan kernels; only the
// bytes that end a check marker, while the key check runs, take the
// byte-by-byte path.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/cipher_tables.h"
#include "engine/decode_stream.h"
#include "engine/key_check.h"
#include "engine/markers.h"
#include "engine/scan_kernels.h"

namespace vantrel::engine {

class StreamDecoder {
public:
    StreamDecoder(const DecodeTables& tables, bool keyCheck, ScanPath path = FastestScanPath());
    StreamDecoder(const StreamDecoder&) = delete;
    StreamDecoder& operator=(const StreamDecoder&) = delete;

    // Decodes input into output, which has room for input.size() bytes and
    // may be input itself. Returns how many bytes were decoded: all of them,
    // or those before the byte that proved the key wrong (KeyRejected() turns
    // true then, and the decoder takes nothing more).
    std::size_t Decode(std::span<const std::uint8_t> input, std::uint8_t* output);

    bool KeyRejected() const { return keyRejected_; }

private:
    bool DecodeCheckMarkerByte(std::uint8_t b, std::uint8_t* output);

    const ScanKernels& kernels_;
    RegionLookup userLookup_;
    RegionLookup checkLookup_;
    RegionState region_;
    KeyCheck keyCheck_;
    bool keyRejected_ = false;
};

} // namespace vantrel::engine
