#include "engine/scan_kernels.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/scan_blocks.h"

namespace vantrel::engine {

RegionLookup::RegionLookup(const DecipherLookup& lookup) : table(lookup)
{
    for (std::size_t g = 0; g < nibbleChange.size(); ++g) {
        for (std::size_t n = 0; n < 16; ++n) {
            const std::size_t b = (2 + g) * 16 + n;
            nibbleChange[g][n] = static_cast<std::uint8_t>(table[b] ^ b);
        }
    }
}

namespace {

bool EndsWithCheckMarker(const MarkerWindow& window)
{
    return window.EndsWithFiveOf(CheckBlockByte) || window.EndsWithFieldOpener() || window.EndsWithFieldCloser();
}

// ---- portable: skip to the next marker byte, then step the window ----

std::size_t FindCheckMarkerPortable(const MarkerWindow& start, const std::uint8_t* data, std::size_t size)
{
    MarkerWindow window = start;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t run = FindMarkerByte(data + i, size - i);
        window.PushRun({data + i, run});
        i += run;
        if (i == size)
            break;
        window.Push(data[i]);
        if (EndsWithCheckMarker(window))
            return i;
    }
    return size;
}

void DecodeRegionsPortable(RegionState& state, const RegionLookup& lookup, const std::uint8_t* data,
                           std::size_t size, std::uint8_t* output)
{
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t run = FindMarkerByte(data + i, size - i);
        if (state.deciphering) {
            for (std::size_t k = i; k < i + run; ++k)
                output[k] = lookup.table[data[k]];
        } else if (output != data) {
            std::memmove(output + i, data + i, run);
        }
        state.window.PushRun({data + i, run});
        i += run;
        if (i == size)
            break;
        const std::uint8_t b = data[i];
        state.window.Push(b);
        if (state.window.EndsWithFiveOf(RegionOnByte))
            state.deciphering = true;
        else if (state.window.EndsWithFiveOf(RegionOffByte))
            state.deciphering = false;
        output[i] = state.deciphering ? lookup.table[b] : b;
    }
}

void DecipherAllPortable(const RegionLookup& lookup, const std::uint8_t* data, std::size_t size,
                         std::uint8_t* output)
{
    for (std::size_t i = 0; i < size; ++i)
        output[i] = lookup.table[data[i]];
}

// ---- vector paths: whole blocks, the last part through a padded copy ----

// Zero bytes complete no marker, so padding changes nothing that matters.
struct PaddedBlock {
    alignas(64) std::array<std::uint8_t, scan::BlockSize> bytes{};
};

// The window's bytes as the top bits of a block mask.
std::uint64_t CarryOf(const MarkerWindow& window, std::uint8_t ch)
{
    std::uint64_t carry = 0;
    for (unsigned age = 0; age < 4; ++age) {
        if (window.Back(age) == ch)
            carry |= std::uint64_t{1} << (63 - age);
    }
    return carry;
}

using DecodeBlocks = void (*)(scan::RegionCarry&, const RegionLookup&, const std::uint8_t*, std::uint8_t*,
                              std::size_t);
using FindBlocks = std::size_t (*)(scan::CheckCarry&, const std::uint8_t*, std::size_t);
using DecipherBlocks = void (*)(const RegionLookup&, const std::uint8_t*, std::uint8_t*, std::size_t);

template <DecodeBlocks decodeBlocks>
void DecodeRegionsInBlocks(RegionState& state, const RegionLookup& lookup, const std::uint8_t* data,
                           std::size_t size, std::uint8_t* output)
{
    if (size == 0)
        return;
    // The window takes the bytes as read, and decoding in place overwrites them.
    std::array<std::uint8_t, 5> last{};
    const std::size_t kept = std::min(size, last.size());
    std::memcpy(last.data(), data + size - kept, kept);

    scan::RegionCarry carry{CarryOf(state.window, RegionOnByte), CarryOf(state.window, RegionOffByte),
                            state.deciphering};
    const std::size_t whole = size / scan::BlockSize * scan::BlockSize;
    decodeBlocks(carry, lookup, data, output, whole / scan::BlockSize);
    if (const std::size_t rest = size - whole) {
        PaddedBlock block;
        std::memcpy(block.bytes.data(), data + whole, rest);
        decodeBlocks(carry, lookup, block.bytes.data(), block.bytes.data(), 1);
        std::memcpy(output + whole, block.bytes.data(), rest);
    }

    state.deciphering = carry.deciphering;
    for (std::size_t i = 0; i < kept; ++i)
        state.window.Push(last[i]);
}

template <FindBlocks findBlocks>
std::size_t FindCheckMarkerInBlocks(const MarkerWindow& window, const std::uint8_t* data, std::size_t size)
{
    scan::CheckCarry carry{CarryOf(window, CheckBlockByte), CarryOf(window, FieldEdgeByte),
                           CarryOf(window, RegionOffByte)};
    const std::size_t whole = size / scan::BlockSize * scan::BlockSize;
    const std::size_t found = findBlocks(carry, data, whole / scan::BlockSize);
    if (found < whole || whole == size)
        return found;
    PaddedBlock block;
    std::memcpy(block.bytes.data(), data + whole, size - whole);
    return std::min(whole + findBlocks(carry, block.bytes.data(), 1), size);
}

template <DecipherBlocks decipherBlocks>
void DecipherAllInBlocks(const RegionLookup& lookup, const std::uint8_t* data, std::size_t size,
                         std::uint8_t* output)
{
    const std::size_t whole = size / scan::BlockSize * scan::BlockSize;
    decipherBlocks(lookup, data, output, whole / scan::BlockSize);
    if (const std::size_t rest = size - whole) {
        PaddedBlock block;
        std::memcpy(block.bytes.data(), data + whole, rest);
        decipherBlocks(lookup, block.bytes.data(), block.bytes.data(), 1);
        std::memcpy(output + whole, block.bytes.data(), rest);
    }
}

constexpr ScanKernels PortableKernels{FindCheckMarkerPortable, DecodeRegionsPortable, DecipherAllPortable};
#if defined(__x86_64__)
constexpr ScanKernels Sse2Kernels{FindCheckMarkerInBlocks<scan::FindCheckMarkerBlocksSse2>,
                                  DecodeRegionsInBlocks<scan::DecodeRegionBlocksSse2>,
                                  DecipherAllInBlocks<scan::DecipherBlocksSse2>};
constexpr ScanKernels Avx2Kernels{FindCheckMarkerInBlocks<scan::FindCheckMarkerBlocksAvx2>,
                                  DecodeRegionsInBlocks<scan::DecodeRegionBlocksAvx2>,
                                  DecipherAllInBlocks<scan::DecipherBlocksAvx2>};
constexpr ScanKernels Avx512Kernels{FindCheckMarkerInBlocks<scan::FindCheckMarkerBlocksAvx512>,
                                    DecodeRegionsInBlocks<scan::DecodeRegionBlocksAvx512>,
                                    DecipherAllInBlocks<scan::DecipherBlocksAvx512>};
#endif

} // namespace

bool ScanPathAvailable(ScanPath path)
{
    switch (path) {
    case ScanPath::Portable: return true;
#if defined(__x86_64__)
    case ScanPath::Sse2: return true;
    case ScanPath::Avx2: __builtin_cpu_init(); return __builtin_cpu_supports("avx2");
    case ScanPath::Avx512:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")
            && __builtin_cpu_supports("avx512vbmi");
#else
    case ScanPath::Sse2:
    case ScanPath::Avx2:
    case ScanPath::Avx512: return false;
#endif
    }
    return false;
}

std::vector<ScanPath> AvailableScanPaths()
{
    std::vector<ScanPath> paths;
    for (ScanPath path : {ScanPath::Portable, ScanPath::Sse2, ScanPath::Avx2, ScanPath::Avx512}) {
        if (ScanPathAvailable(path))
            paths.push_back(path);
    }
    return paths;
}

ScanPath FastestScanPath()
{
    static const ScanPath fastest = AvailableScanPaths().back();
    return fastest;
}

const ScanKernels& KernelsFor(ScanPath path)
{
    // A path the processor lacks would stop the program on its first instruction.
    if (!ScanPathAvailable(path))
        path = FastestScanPath();
    switch (path) {
#if defined(__x86_64__)
    case ScanPath::Sse2: return Sse2Kernels;
    case ScanPath::Avx2: return Avx2Kernels;
    case ScanPath::Avx512: return Avx512Kernels;
#endif
    default: return PortableKernels;
    }
}

} // namespace vantrel::engine
