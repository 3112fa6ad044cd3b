// AVX-512 on 32-byte vectors: one two-table byte permute deciphers the whole
// 0x20..0x5F range that holds the alphabet, and mask registers pick the
// bytes it applies to. Only the functions marked with the target attribute
// use these instructions; the dispatch calls them only where the processor
// has them.
#include "engine/scan_block256.h"

#if defined(__x86_64__)

#define VANTREL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))

namespace vantrel::engine::scan {

namespace {

// The decipher map for the 64 bytes from 0x20 on, where all alphabet bytes lie.
struct Permute {
    static constexpr std::uint8_t First = 0x20;
    __m256i firstHalf;
    __m256i secondHalf;

    VANTREL_AVX512 explicit Permute(const RegionLookup& lookup)
        : firstHalf(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lookup.table.data() + First))),
          secondHalf(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(lookup.table.data() + First + 32)))
    {
    }

    // Deciphers the bytes whose bits are set in marked.
    VANTREL_AVX512 __m256i Deciphered(__m256i bytes, __mmask32 marked) const
    {
        const __m256i index = _mm256_sub_epi8(bytes, _mm256_set1_epi8(static_cast<char>(First)));
        const __mmask32 inRange = _mm256_cmplt_epu8_mask(index, _mm256_set1_epi8(64));
        return _mm256_mask_mov_epi8(bytes, marked & inRange, _mm256_permutex2var_epi8(firstHalf, index, secondHalf));
    }

    VANTREL_AVX512 void Write(const Block256& block, std::uint64_t marked, std::uint8_t* output) const
    {
        __m256i low = block.low;
        __m256i high = block.high;
        if (marked != 0) {
            low = Deciphered(low, static_cast<__mmask32>(marked));
            high = Deciphered(high, static_cast<__mmask32>(marked >> 32));
        }
        Block256::Store(output, low, high);
    }
};

} // namespace

VANTREL_AVX512 void DecodeRegionBlocksAvx512(RegionCarry& carry, const RegionLookup& lookup,
                                             const std::uint8_t* data, std::uint8_t* output, std::size_t blocks)
{
    DecodeRegionsIn<Block256>(carry, Permute(lookup), data, output, blocks);
}

VANTREL_AVX512 std::size_t FindCheckMarkerBlocksAvx512(CheckCarry& carry, const std::uint8_t* data,
                                                       std::size_t blocks)
{
    return FindCheckMarkerIn<Block256>(carry, data, blocks);
}

VANTREL_AVX512 void DecipherBlocksAvx512(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                                         std::size_t blocks)
{
    DecipherIn<Block256>(Permute(lookup), data, output, blocks);
}

} // namespace vantrel::engine::scan

#endif
