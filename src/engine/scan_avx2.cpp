// 32-byte vectors find the marker bytes, and a byte shuffle per high nibble
// deciphers 32 bytes at once. Only the functions marked with the target
// attribute use these instructions, so this file is safe to build into a
// program that runs on processors without them; the dispatch calls it only
// where the processor has them.
#include "engine/scan_blocks.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define VANTREL_AVX2 __attribute__((target("avx2")))

namespace vantrel::engine::scan {

namespace {

struct Block {
    __m256i low;
    __m256i high;

    VANTREL_AVX2 explicit Block(const std::uint8_t* data)
        : low(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data))),
          high(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32)))
    {
    }

    VANTREL_AVX2 std::uint64_t Matching(std::uint8_t ch) const
    {
        const __m256i wanted = _mm256_set1_epi8(static_cast<char>(ch));
        const auto lowBits = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)));
        const auto highBits = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)));
        return lowBits | (std::uint64_t{highBits} << 32);
    }
};

struct NibbleShuffles {
    __m256i change[4];

    VANTREL_AVX2 explicit NibbleShuffles(const RegionLookup& lookup)
    {
        for (int g = 0; g < 4; ++g)
            change[g] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(lookup.nibbleChange[g].data())));
    }

    // What XOR turns each byte into its deciphered form: zero for bytes
    // outside 0x20..0x5F, where the shuffle index gets its top bit.
    VANTREL_AVX2 __m256i ChangeOf(__m256i bytes) const
    {
        const __m256i intoIndex = _mm256_set1_epi8(0x70);
        __m256i result = _mm256_setzero_si256();
        for (int g = 0; g < 4; ++g) {
            const __m256i group = _mm256_set1_epi8(static_cast<char>((2 + g) << 4));
            const __m256i index = _mm256_adds_epu8(_mm256_xor_si256(bytes, group), intoIndex);
            result = _mm256_or_si256(result, _mm256_shuffle_epi8(change[g], index));
        }
        return result;
    }
};

// 0xFF in byte i where bit i of bits is set.
VANTREL_AVX2 __m256i BytesOfBits(std::uint32_t bits)
{
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, //
                                            2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
    const __m256i bitOfByte = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    const __m256i spreadBits = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits)), spread);
    return _mm256_cmpeq_epi8(_mm256_and_si256(spreadBits, bitOfByte), bitOfByte);
}

VANTREL_AVX2 __m256i Decoded(__m256i bytes, const NibbleShuffles& shuffles, std::uint32_t region)
{
    return _mm256_xor_si256(bytes, _mm256_and_si256(shuffles.ChangeOf(bytes), BytesOfBits(region)));
}

} // namespace

VANTREL_AVX2 void DecodeRegionBlocksAvx2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                                         std::uint8_t* output, std::size_t blocks)
{
    const NibbleShuffles shuffles(lookup);
    RegionCarry state = carry;
    for (std::size_t n = 0; n < blocks; ++n, data += BlockSize, output += BlockSize) {
        const Block block(data);
        const std::uint64_t on = block.Matching(RegionOnByte);
        const std::uint64_t off = block.Matching(RegionOffByte);
        const std::uint64_t region = RegionBits(FiveEndHere(on, state.on), FiveEndHere(off, state.off),
                                                state.deciphering);
        state = {on, off, (region >> 63) != 0};
        __m256i low = block.low;
        __m256i high = block.high;
        if (region == ~std::uint64_t{0}) {
            low = _mm256_xor_si256(low, shuffles.ChangeOf(low));
            high = _mm256_xor_si256(high, shuffles.ChangeOf(high));
        } else if (region != 0) {
            low = Decoded(low, shuffles, static_cast<std::uint32_t>(region));
            high = Decoded(high, shuffles, static_cast<std::uint32_t>(region >> 32));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(output), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(output + 32), high);
    }
    carry = state;
}

VANTREL_AVX2 std::size_t FindCheckMarkerBlocksAvx2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks)
{
    return FindCheckMarkerIn<Block>(carry, data, blocks);
}

} // namespace vantrel::engine::scan

#endif
