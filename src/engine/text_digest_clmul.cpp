// The fingerprint's folding with carry-less multiplication. Products are
// summed unreduced (lowest, middle and highest 128 bits apart) over a group
// of blocks, each block times the power of H that Horner's rule would give
// it, and folded back modulo x^128 + x^7 + x^2 + x + 1 once per group. Only
// the functions marked with the target attribute use these instructions;
// TextDigest calls them only where the processor has them.
#include "engine/digest_kernels.h"

#if defined(__x86_64__)
#include <immintrin.h>

#define VANTREL_CLMUL __attribute__((target("pclmul,sse2")))
#define VANTREL_WIDE_CLMUL __attribute__((target("vpclmulqdq,avx512f,pclmul")))

namespace vantrel::engine::digest {

namespace {

struct Product {
    __m128i low;    // x^0 ... x^127
    __m128i middle; // x^64 ... x^191
    __m128i high;   // x^128 ... x^255
};

VANTREL_CLMUL __m128i Loaded(const Element& e)
{
    return _mm_set_epi64x(static_cast<long long>(e.high), static_cast<long long>(e.low));
}

VANTREL_CLMUL Element Stored(__m128i v)
{
    alignas(16) std::uint64_t words[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(words), v);
    return {words[0], words[1]};
}

VANTREL_CLMUL void AddProduct(Product& sum, __m128i a, __m128i b)
{
    sum.low = _mm_xor_si128(sum.low, _mm_clmulepi64_si128(a, b, 0x00));
    sum.high = _mm_xor_si128(sum.high, _mm_clmulepi64_si128(a, b, 0x11));
    sum.middle = _mm_xor_si128(sum.middle, _mm_xor_si128(_mm_clmulepi64_si128(a, b, 0x01),
                                                         _mm_clmulepi64_si128(a, b, 0x10)));
}

// The 256-bit product brought back under x^128: x^128 is x^7 + x^2 + x + 1,
// so each of the top two 64-bit words comes back, times that, 128 places lower.
VANTREL_CLMUL __m128i Reduced(const Product& p)
{
    const __m128i folded = _mm_set_epi64x(0, static_cast<long long>(Folded));
    __m128i low = _mm_xor_si128(p.low, _mm_slli_si128(p.middle, 8));
    __m128i high = _mm_xor_si128(p.high, _mm_srli_si128(p.middle, 8));
    const __m128i top = _mm_clmulepi64_si128(high, folded, 0x01); // x^192 ... x^255
    low = _mm_xor_si128(low, _mm_slli_si128(top, 8));
    high = _mm_xor_si128(high, _mm_srli_si128(top, 8));
    return _mm_xor_si128(low, _mm_clmulepi64_si128(high, folded, 0x00)); // x^128 ... x^191
}

VANTREL_CLMUL __m128i Block(const std::uint8_t* data)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// Four blocks at a time, then one at a time.
VANTREL_CLMUL __m128i FoldFours(__m128i sum, const PointTables& point, const std::uint8_t* blocks,
                                std::size_t count)
{
    const __m128i h1 = Loaded(point.powers[0]);
    const __m128i h2 = Loaded(point.powers[1]);
    const __m128i h3 = Loaded(point.powers[2]);
    const __m128i h4 = Loaded(point.powers[3]);
    std::size_t n = 0;
    for (; n + 4 <= count; n += 4, blocks += 64) {
        Product p{_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
        AddProduct(p, _mm_xor_si128(sum, Block(blocks)), h4);
        AddProduct(p, Block(blocks + 16), h3);
        AddProduct(p, Block(blocks + 32), h2);
        AddProduct(p, Block(blocks + 48), h1);
        sum = Reduced(p);
    }
    for (; n < count; ++n, blocks += 16) {
        Product p{_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
        AddProduct(p, _mm_xor_si128(sum, Block(blocks)), h1);
        sum = Reduced(p);
    }
    return sum;
}

} // namespace

VANTREL_CLMUL Element FoldClmul(Element sum, const PointTables& point, const std::uint8_t* blocks, std::size_t count)
{
    return Stored(FoldFours(Loaded(sum), point, blocks, count));
}

namespace {

VANTREL_WIDE_CLMUL __m512i Powers(const PointTables& point, std::size_t first)
{
    // Lane 0 takes the highest power: it holds the earliest block.
    const auto& h = point.powers;
    return _mm512_set_epi64(
        static_cast<long long>(h[first].high), static_cast<long long>(h[first].low),
        static_cast<long long>(h[first + 1].high), static_cast<long long>(h[first + 1].low),
        static_cast<long long>(h[first + 2].high), static_cast<long long>(h[first + 2].low),
        static_cast<long long>(h[first + 3].high), static_cast<long long>(h[first + 3].low));
}

struct WideProduct {
    __m512i low;
    __m512i middle;
    __m512i high;
};

VANTREL_WIDE_CLMUL void AddWide(WideProduct& sum, __m512i a, __m512i b)
{
    sum.low = _mm512_xor_si512(sum.low, _mm512_clmulepi64_epi128(a, b, 0x00));
    sum.high = _mm512_xor_si512(sum.high, _mm512_clmulepi64_epi128(a, b, 0x11));
    sum.middle = _mm512_ternarylogic_epi64(sum.middle, _mm512_clmulepi64_epi128(a, b, 0x01),
                                           _mm512_clmulepi64_epi128(a, b, 0x10), 0x96); // a ^ b ^ c
}

VANTREL_WIDE_CLMUL __m128i Lanes(__m512i v)
{
    // The zeroing forms: the plain extract and cast leave some compilers
    // warning of an unset value.
    const __m256i lower = _mm512_maskz_extracti64x4_epi64(0xF, v, 0);
    const __m256i upper = _mm512_maskz_extracti64x4_epi64(0xF, v, 1);
    const __m256i half = _mm256_xor_si256(lower, upper);
    return _mm_xor_si128(_mm256_castsi256_si128(half), _mm256_extracti128_si256(half, 1));
}

} // namespace

VANTREL_WIDE_CLMUL Element FoldWideClmul(Element sum, const PointTables& point, const std::uint8_t* blocks,
                                         std::size_t count)
{
    // Thirty-two blocks, the first four times H^32 ... H^29, the last four
    // times H^4 ... H^1: the products of a group are independent, and only
    // the one reduction at its end waits for the group before.
    constexpr std::size_t Vectors = 8;
    __m512i powers[Vectors];
    for (std::size_t v = 0; v < Vectors; ++v)
        powers[v] = Powers(point, 4 * (Vectors - 1 - v));
    __m128i folded = Loaded(sum);
    std::size_t n = 0;
    for (; n + 4 * Vectors <= count; n += 4 * Vectors, blocks += 64 * Vectors) {
        WideProduct p{_mm512_setzero_si512(), _mm512_setzero_si512(), _mm512_setzero_si512()};
        AddWide(p, _mm512_xor_si512(_mm512_loadu_si512(blocks), _mm512_zextsi128_si512(folded)), powers[0]);
        for (std::size_t v = 1; v < Vectors; ++v)
            AddWide(p, _mm512_loadu_si512(blocks + 64 * v), powers[v]);
        folded = Reduced({Lanes(p.low), Lanes(p.middle), Lanes(p.high)});
    }
    return Stored(FoldFours(folded, point, blocks, count - n));
}

} // namespace vantrel::engine::digest

#endif
