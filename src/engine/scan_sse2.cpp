// 16-byte vectors find the marker bytes; without a byte shuffle, region
// runs are deciphered through the table one byte at a time.
#include <bit>
#include <cstring>

#include "engine/scan_blocks.h"

#if defined(__x86_64__)
#include <emmintrin.h>

namespace vantrel::engine::scan {

namespace {

struct Block {
    __m128i part[4];

    explicit Block(const std::uint8_t* data)
    {
        for (int i = 0; i < 4; ++i)
            part[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i));
    }

    std::uint64_t Matching(std::uint8_t ch) const
    {
        const __m128i wanted = _mm_set1_epi8(static_cast<char>(ch));
        std::uint64_t mask = 0;
        for (int i = 0; i < 4; ++i) {
            const auto bits = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(part[i], wanted)));
            mask |= std::uint64_t{bits} << (16 * i);
        }
        return mask;
    }

    void Store(std::uint8_t* output) const
    {
        for (int i = 0; i < 4; ++i)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(output + 16 * i), part[i]);
    }
};

// Deciphers, in place, the bytes of output whose bits are set.
void DecipherMarked(const DecipherLookup& table, std::uint64_t marked, std::uint8_t* output)
{
    while (marked != 0) {
        const unsigned first = static_cast<unsigned>(std::countr_zero(marked));
        const unsigned end = first + static_cast<unsigned>(std::countr_one(marked >> first));
        for (unsigned i = first; i < end; ++i)
            output[i] = table[output[i]];
        marked = end == 64 ? 0 : marked & (~std::uint64_t{0} << end);
    }
}

} // namespace

void DecodeRegionBlocksSse2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                            std::uint8_t* output, std::size_t blocks)
{
    for (std::size_t n = 0; n < blocks; ++n, data += BlockSize, output += BlockSize) {
        const Block block(data);
        const std::uint64_t on = block.Matching(RegionOnByte);
        const std::uint64_t off = block.Matching(RegionOffByte);
        const std::uint64_t region = RegionBits(FiveEndHere(on, carry.on), FiveEndHere(off, carry.off),
                                                carry.deciphering);
        carry = {on, off, (region >> 63) != 0};
        block.Store(output);
        DecipherMarked(lookup.table, region, output);
    }
}

std::size_t FindCheckMarkerBlocksSse2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks)
{
    return FindCheckMarkerIn<Block>(carry, data, blocks);
}

} // namespace vantrel::engine::scan

#endif
