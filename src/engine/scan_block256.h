#pragma once
// The block of the AVX2 kernels: 64 bytes as two 32-byte vectors. Only
// code compiled for AVX2 or more may use it; the dispatch sees to that.
#include "engine/scan_blocks.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define VANTREL_AVX2 __attribute__((target("avx2")))

namespace vantrel::engine::scan {

struct Block256 {
    __m256i low;
    __m256i high;

    VANTREL_AVX2 explicit Block256(const std::uint8_t* data)
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

    VANTREL_AVX2 static void Store(std::uint8_t* output, __m256i low, __m256i high)
    {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(output), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(output + 32), high);
    }
};

} // namespace vantrel::engine::scan

#endif
