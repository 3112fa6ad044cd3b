#pragma once
// Inside TextDigest: elements of GF(2^128), taken modulo
// x^128 + x^7 + x^2 + x + 1, and the loops that fold whole 16-byte blocks
// into the running sum, one version per way of multiplying.
#include <array>
#include <cstddef>
#include <cstdint>

namespace vantrel::engine::digest {

// Bit i of low is the coefficient of x^i, bit i of high that of x^(64+i).
struct Element {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
};

// x^128 folded back: x^7 + x^2 + x + 1.
inline constexpr std::uint64_t Folded = 0x87;

// A block's 16 bytes, least significant first.
Element LoadBlock(const std::uint8_t* block);

// What the loops need of the point H.
struct PointTables {
    std::array<Element, 32> powers; // powers[k] = H^(k + 1)
    std::array<Element, 256> times; // times[b] = b(x)·H for every byte b
};
PointTables TablesFor(Element point);

// Each returns (...((sum + X1)·H + X2)·H ... + Xcount)·H for count blocks.
Element FoldPortable(Element sum, const PointTables& point, const std::uint8_t* blocks, std::size_t count);
#if defined(__x86_64__)
Element FoldClmul(Element sum, const PointTables& point, const std::uint8_t* blocks, std::size_t count);
Element FoldWideClmul(Element sum, const PointTables& point, const std::uint8_t* blocks, std::size_t count);
#endif

} // namespace vantrel::engine::digest
