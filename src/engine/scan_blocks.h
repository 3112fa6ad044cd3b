#pragma once
// Inside the vector kernels: blocks of 64 bytes become 64-bit masks, one bit
// per byte (bit i for byte i), and markers become bit arithmetic on them.
// A carry is the mask of the block before; its top bits stand for the bytes
// just before the block (bit 63 for the last of them).
//
// The block loops are written once, here, as templates. Each instruction set
// supplies a Block (64 bytes loaded, `Matching(ch)`: the mask of the bytes
// equal to ch) and a Decipher (`Write(block, marked, output)`: the block's
// bytes to output, those whose bits are set deciphered), and instantiates
// the loops inside its own functions with the target attribute, into which
// they are inlined and compiled for that set: no calls in the loops.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "engine/scan_kernels.h"

namespace vantrel::engine::scan {

inline constexpr std::size_t BlockSize = 64;
inline constexpr std::uint64_t WholeBlock = ~std::uint64_t{0};

struct RegionCarry {
    std::uint64_t on = 0;  // '&' bytes
    std::uint64_t off = 0; // '#' bytes
    bool deciphering = false;
};

struct CheckCarry {
    std::uint64_t tilde = 0;
    std::uint64_t star = 0;
    std::uint64_t hash = 0;
};

// The mask shifted up by `by` bytes (1 to 4), with the carry's bytes moving in.
// Three plain shifts: a 128-bit double shift is one instruction on some
// processors but several slow ones on others (AMD), and costs registers.
constexpr std::uint64_t Preceding(std::uint64_t mask, std::uint64_t carry, unsigned by)
{
    return (mask << by) | (carry >> (64 - by));
}

// Bytes that end a run of five matching bytes.
constexpr std::uint64_t FiveEndHere(std::uint64_t mask, std::uint64_t carry)
{
    return mask & Preceding(mask, carry, 1) & Preceding(mask, carry, 2) & Preceding(mask, carry, 3)
        & Preceding(mask, carry, 4);
}

// Bytes inside a region, given where on- and off-markers end and whether a
// region is open before the block. An on-marker starts a carry that runs up
// through every byte that is not an off-marker end and stops there; adding
// it to the mask of such bytes paints exactly those runs.
constexpr std::uint64_t RegionBits(std::uint64_t onEnds, std::uint64_t offEnds, bool openBefore)
{
    const std::uint64_t notOff = ~offEnds;
    const std::uint64_t sum = notOff + onEnds + (openBefore ? 1u : 0u);
    // An on-marker end inside a region adds a second carry and shows as 0: put it back.
    return ((sum ^ notOff) | onEnds) & notOff;
}

constexpr std::uint64_t CheckMarkerEnds(std::uint64_t tilde, std::uint64_t star, std::uint64_t hash,
                                        const CheckCarry& carry)
{
    const std::uint64_t opener = hash & Preceding(star, carry.star, 1);
    const std::uint64_t closer = star & Preceding(hash, carry.hash, 1);
    return FiveEndHere(tilde, carry.tilde) | opener | closer;
}

// The region switch over whole blocks: region markers switch deciphering,
// every byte is written deciphered or as read.
template <class Block, class Decipher>
[[gnu::always_inline]] inline void DecodeRegionsIn(RegionCarry& carry, const Decipher& decipher,
                                                   const std::uint8_t* data, std::uint8_t* output, std::size_t blocks)
{
    RegionCarry state = carry;
    for (std::size_t n = 0; n < blocks; ++n, data += BlockSize, output += BlockSize) {
        const Block block(data);
        const std::uint64_t on = block.Matching(RegionOnByte);
        const std::uint64_t off = block.Matching(RegionOffByte);
        const std::uint64_t region = RegionBits(FiveEndHere(on, state.on), FiveEndHere(off, state.off),
                                                state.deciphering);
        state = {on, off, (region >> 63) != 0};
        decipher.Write(block, region, output);
    }
    carry = state;
}

// The index of the first byte that completes a check marker, or blocks * BlockSize.
template <class Block>
[[gnu::always_inline]] inline std::size_t FindCheckMarkerIn(CheckCarry& carry, const std::uint8_t* data,
                                                            std::size_t blocks)
{
    // Kept in registers: a carry written back for every block would chain
    // the blocks through memory.
    CheckCarry state = carry;
    for (std::size_t n = 0; n < blocks; ++n) {
        const Block block(data + n * BlockSize);
        const std::uint64_t tilde = block.Matching(CheckBlockByte);
        const std::uint64_t star = block.Matching(FieldEdgeByte);
        const std::uint64_t hash = block.Matching(RegionOffByte);
        if (const std::uint64_t ends = CheckMarkerEnds(tilde, star, hash, state)) {
            carry = state;
            return n * BlockSize + static_cast<std::size_t>(std::countr_zero(ends));
        }
        state = {tilde, star, hash};
    }
    carry = state;
    return blocks * BlockSize;
}

// Every byte deciphered, whatever it is.
template <class Block, class Decipher>
[[gnu::always_inline]] inline void DecipherIn(const Decipher& decipher, const std::uint8_t* data,
                                              std::uint8_t* output, std::size_t blocks)
{
    for (std::size_t n = 0; n < blocks; ++n, data += BlockSize, output += BlockSize)
        decipher.Write(Block(data), WholeBlock, output);
}

// Full blocks only; output may be data itself.
void DecodeRegionBlocksSse2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                            std::uint8_t* output, std::size_t blocks);
std::size_t FindCheckMarkerBlocksSse2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks);
void DecipherBlocksSse2(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                        std::size_t blocks);

void DecodeRegionBlocksAvx2(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                            std::uint8_t* output, std::size_t blocks);
std::size_t FindCheckMarkerBlocksAvx2(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks);
void DecipherBlocksAvx2(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                        std::size_t blocks);

void DecodeRegionBlocksAvx512(RegionCarry& carry, const RegionLookup& lookup, const std::uint8_t* data,
                              std::uint8_t* output, std::size_t blocks);
std::size_t FindCheckMarkerBlocksAvx512(CheckCarry& carry, const std::uint8_t* data, std::size_t blocks);
void DecipherBlocksAvx512(const RegionLookup& lookup, const std::uint8_t* data, std::uint8_t* output,
                          std::size_t blocks);

} // namespace vantrel::engine::scan
