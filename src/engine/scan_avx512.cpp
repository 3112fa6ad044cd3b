// AVX-512 on whole 64-byte vectors: bytes are compared straight into mask
// registers, and one byte permute deciphers the whole 0x20..0x5F range that
// holds the alphabet, for the bytes the masks pick. Only the functions
// marked with the target attribute use these instructions; the dispatch
// calls them only where the processor has them.
#include "engine/scan_blocks.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define VANTREL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi")))

namespace vantrel::engine::scan {

namespace {

// A whole 64-byte vector, compared straight into a mask register.
struct Block512 {
    __m512i bytes;

    VANTREL_AVX512 explicit Block512(const std::uint8_t* data) : bytes(_mm512_loadu_si512(data)) {}

    VANTREL_AVX512 std::uint64_t Matching(std::uint8_t ch) const
    {
        return _mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(static_cast<char>(ch)));
    }
};

// The decipher map for the 64 bytes from 0x20 on, where all alphabet bytes lie.
struct Permute512 {
    static constexpr std::uint8_t First = 0x20;
    __m512i table;

    VANTREL_AVX512 explicit Permute512(const RegionLookup& lookup)
        : table(_mm512_loadu_si512(lookup.table.data() + First))
    {
    }

    // The block with the bytes whose bits are set in marked deciphered.
    VANTREL_AVX512 void Write(const Block512& block, std::uint64_t marked, std::uint8_t* output) const
    {
        __m512i bytes = block.bytes;
        if (marked != 0) {
            const __m512i index = _mm512_sub_epi8(bytes, _mm512_set1_epi8(static_cast<char>(First)));
            const __mmask64 inRange = _mm512_cmplt_epu8_mask(index, _mm512_set1_epi8(64));
            bytes = _mm512_mask_permutexvar_epi8(bytes, marked & inRange, index, table);
        }
        _mm512_storeu_si512(output, bytes);
    }
};

} // namespace

VANTREL_AVX512 void DecodeRegionBlocksAvx512(RegionCarry& carry, const RegionLookup& lookup,
                                             const std::uint8_t* data, std::uint8_t* output, std::size_t blocks)
{
    DecodeRegionsIn<Block512>(carry, Permute512(lookup), data, output, blocks);
}

VANTREL_AVX512 std::size_t FindCheckMarkerBlocksAvx512(CheckCarry& carry, const std::uint8_t* data,
                                                       std::size_t blocks)
{
    return FindCheckMarkerIn<Block512>(carry, data, blocks);
}

VANTREL_AVX512 void DecipherBlocksAvx512(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                                         std::size_t blocks)
{
    DecipherIn<Block512>(Permute512(lookup), data, output, blocks);
}

} // namespace vantrel::engine::scan

#endif
