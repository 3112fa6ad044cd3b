#pragma once
// The bulk steps of the stream decoder, in one version per instruction set:
// finding where the next check marker ends, decoding a stretch in which only
// the region markers matter, and deciphering a check field's bytes. Every
// version gives the same result; which one runs is decided once from what
// the processor offers.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/cipher_tables.h"
#include "engine/markers.h"

namespace vantrel::engine {

enum class ScanPath {
    Portable, // eight bytes at a time in general-purpose registers
    Sse2,     // 16-byte vectors, present on every x86-64 processor
    Avx2,     // 32-byte vectors and a shuffle-based decipher lookup
    Avx512,   // 64-byte vectors compared into mask registers, a 64-entry byte permute (AVX-512 VL, BW, VBMI)
};

// The decipher map in the forms the kernels use.
struct RegionLookup {
    explicit RegionLookup(const DecipherLookup& lookup);

    DecipherLookup table;
    // Alphabet bytes all lie in 0x20..0x5F: entry [g][n] is table[b] ^ b for
    // b = (2 + g) * 16 + n, so a 16-entry shuffle per high nibble finds the change.
    alignas(16) std::array<std::array<std::uint8_t, 16>, 4> nibbleChange;
};

// What the region switch carries from one stretch to the next.
struct RegionState {
    MarkerWindow window;
    bool deciphering = false;
};

struct ScanKernels {
    // Index of the first byte of data that completes "~~~~~", "*#" or "#*"
    // when read after the bytes in window; size when none does.
    std::size_t (*findCheckMarker)(const MarkerWindow& window, const std::uint8_t* data, std::size_t size);
    // Decodes size bytes as if no check marker were looked for: region
    // markers switch deciphering, every byte is written deciphered or as
    // read. output may be data itself. Leaves state as after the last byte.
    void (*decodeRegions)(RegionState& state, const RegionLookup& lookup, const std::uint8_t* data,
                          std::size_t size, std::uint8_t* output);
    // Deciphers every byte through lookup, markers or not. output may be data itself.
    void (*decipherAll)(const RegionLookup& lookup, const std::uint8_t* data, std::size_t size,
                        std::uint8_t* output);
};

const ScanKernels& KernelsFor(ScanPath path);

// Built into this program and supported by this processor.
bool ScanPathAvailable(ScanPath path);
std::vector<ScanPath> AvailableScanPaths();

// The quickest available path; decided at the first call.
ScanPath FastestScanPath();

} // namespace vantrel::engine
