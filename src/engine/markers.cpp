#include "engine/markers.h"

#include <bit>
#include <cstring>

namespace vantrel::engine {

namespace {

constexpr std::uint64_t EachByte(std::uint8_t b) { return 0x0101'0101'0101'0101ull * b; }

constexpr std::uint64_t LowBits = EachByte(0x01);
constexpr std::uint64_t HighBits = EachByte(0x80);

// Sets the high bit of every zero byte of x. Bytes above a true zero may be
// flagged as well (borrow), but the lowest flagged byte is always a true zero,
// and the lowest is all we look at.
constexpr std::uint64_t FlagZeroBytes(std::uint64_t x) { return (x - LowBits) & ~x & HighBits; }

std::uint64_t FlagMarkerBytes(std::uint64_t word)
{
    return FlagZeroBytes(word ^ EachByte(RegionOnByte)) | FlagZeroBytes(word ^ EachByte(RegionOffByte))
        | FlagZeroBytes(word ^ EachByte(CheckBlockByte)) | FlagZeroBytes(word ^ EachByte(FieldEdgeByte));
}

} // namespace

std::size_t FindMarkerByte(const std::uint8_t* data, std::size_t size)
{
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Eight bytes at a time; text between markers is usually long.
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, data + i, sizeof word);
            if (const std::uint64_t flags = FlagMarkerBytes(word))
                return i + static_cast<std::size_t>(std::countr_zero(flags)) / 8;
        }
    }
    for (; i < size; ++i) {
        if (IsMarkerByte(data[i]))
            return i;
    }
    return size;
}

} // namespace vantrel::engine
