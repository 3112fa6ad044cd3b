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

struct TableDecipher {
    const DecipherLookup& table;

    // The block as read, then its marked runs deciphered in place.
    void Write(const Block& block, std::uint64_t marked, std::uint8_t* output) const
    {
        block.Store(output);
        while (marked != 0) {
            const unsigned first = static_cast<unsigned>(std::countr_zero(marked));
            const unsigned end = first + static_cast<unsigned>(std::countr_one(marked >> first));
            for (unsigned i = first; i < end; ++i)
                output[i] = table[output[i]];
            marked = end == 64 ? 0 : marked & (~std::uint64_t{0} << end);
        }
    }
};

} // namespace

void DecodeRegionBlocksSse2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                            std::uint8_t* output, std::size_t blocks)
{
    DecodeRegionsIn<Block>(carry, TableDecipher{lookup.table}, data, output, blocks);
}

std::size_t FindCheckMarkerBlocksSse2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks)
{
    return FindCheckMarkerIn<Block>(carry, data, blocks);
}

void DecipherBlocksSse2(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                        std::size_t blocks)
{
    DecipherIn<Block>(TableDecipher{lookup.table}, data, output, blocks);
}

} // namespace vantrel::engine::scan

#endif
