// 32-byte vectors find the marker bytes, and a byte shuffle per high nibble
// deciphers 32 bytes at once. Only the functions marked with the target
// attribute use these instructions, so this file is safe to build into a
// program that runs on processors without them; the dispatch calls it only
// where the processor has them.
#include "engine/scan_block256.h"

#if defined(__x86_64__)

namespace vantrel::engine::scan {

namespace {

// 0xFF in byte i where bit i of bits is set.
VANTREL_AVX2 __m256i BytesOfBits(std::uint32_t bits)
{
    const __m256i spread = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, //
                                            2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
    const __m256i bitOfByte = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
    const __m256i spreadBits = _mm256_shuffle_epi8(_mm256_set1_epi32(static_cast<int>(bits)), spread);
    return _mm256_cmpeq_epi8(_mm256_and_si256(spreadBits, bitOfByte), bitOfByte);
}

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

    VANTREL_AVX2 void Write(const Block256& block, std::uint64_t marked, std::uint8_t* output) const
    {
        __m256i low = block.low;
        __m256i high = block.high;
        if (marked == ~std::uint64_t{0}) {
            low = _mm256_xor_si256(low, ChangeOf(low));
            high = _mm256_xor_si256(high, ChangeOf(high));
        } else if (marked != 0) {
            const auto lowBits = static_cast<std::uint32_t>(marked);
            const auto highBits = static_cast<std::uint32_t>(marked >> 32);
            low = _mm256_xor_si256(low, _mm256_and_si256(ChangeOf(low), BytesOfBits(lowBits)));
            high = _mm256_xor_si256(high, _mm256_and_si256(ChangeOf(high), BytesOfBits(highBits)));
        }
        Block256::Store(output, low, high);
    }
};

} // namespace

VANTREL_AVX2 void DecodeRegionBlocksAvx2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                                         std::uint8_t* output, std::size_t blocks)
{
    DecodeRegionsIn<Block256>(carry, NibbleShuffles(lookup), data, output, blocks);
}

VANTREL_AVX2 std::size_t FindCheckMarkerBlocksAvx2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks)
{
    return FindCheckMarkerIn<Block256>(carry, data, blocks);
}

VANTREL_AVX2 void DecipherBlocksAvx2(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                                     std::size_t blocks)
{
    DecipherIn<Block256>(NibbleShuffles(lookup), data, output, blocks);
}

} // namespace vantrel::engine::scan

#endif
