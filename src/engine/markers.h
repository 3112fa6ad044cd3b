#pragma once
// The bytes that build the stream's markers, and the window of recent bytes
// on which the markers are recognised.
#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel::engine {

inline constexpr std::uint8_t RegionOnByte = '&';   // "&&&&&"
inline constexpr std::uint8_t RegionOffByte = '#';  // "#####", and half of "*#" / "#*"
inline constexpr std::uint8_t CheckBlockByte = '~'; // "~~~~~"
inline constexpr std::uint8_t FieldEdgeByte = '*';  // the other half of "*#" / "#*"

// True for the only bytes that can complete a marker. Between two of them
// nothing about the decoding state can change.
constexpr bool IsMarkerByte(std::uint8_t b)
{
    return b == RegionOnByte || b == RegionOffByte || b == CheckBlockByte || b == FieldEdgeByte;
}

// The last five bytes read, oldest first; the last two of them are the
// window of two. Both start out as spaces.
class MarkerWindow {
public:
    void Push(std::uint8_t b) { recent_ = ((recent_ << 8) | b) & FiveBytes; }

    // A run of bytes none of which IsMarkerByte: every window that reaches
    // back past the run's last byte holds that byte and so matches no marker,
    // which makes the last byte the only one worth keeping.
    void PushRun(std::span<const std::uint8_t> run)
    {
        if (!run.empty())
            Push(run.back());
    }

    // The byte `age` places back (0: the newest); age < 5.
    std::uint8_t Back(unsigned age) const { return static_cast<std::uint8_t>(recent_ >> (8 * age)); }

    // "&&&&&", "#####" or "~~~~~" for ch = '&', '#', '~'.
    bool EndsWithFiveOf(std::uint8_t ch) const { return recent_ == ch * RepeatFive; }
    // "*#"
    bool EndsWithFieldOpener() const { return (recent_ & 0xFFFF) == ((FieldEdgeByte << 8) | RegionOffByte); }
    // "#*"
    bool EndsWithFieldCloser() const { return (recent_ & 0xFFFF) == ((RegionOffByte << 8) | FieldEdgeByte); }

private:
    static constexpr std::uint64_t FiveBytes = 0xFF'FFFF'FFFFull;
    static constexpr std::uint64_t RepeatFive = 0x01'0101'0101ull;
    std::uint64_t recent_ = ' ' * RepeatFive; // newest byte lowest
};

// Index of the first byte in [data, data + size) that IsMarkerByte, or size.
std::size_t FindMarkerByte(const std::uint8_t* data, std::size_t size);

} // namespace vantrel::engine
