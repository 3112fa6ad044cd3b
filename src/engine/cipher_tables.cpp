#include "engine/cipher_tables.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel::engine {

const std::array<std::uint8_t, AlphabetSize> Alphabet = {
    '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C',
    'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
    'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', ' ', '/',
};

const std::array<std::uint8_t, SeedSize> FixedKey = {
    0x5d, 0x2e, 0x91, 0xc4, 0x08, 0x7f, 0xb3, 0x16, 0xe9, 0x4a,
};

SubstitutionTable UserTable{};
SubstitutionTable FixedTable{};

namespace {

constexpr std::uint16_t ReflectedPolynomial = 0x8408;
constexpr std::uint16_t CrcInitial = 0xFFFF;
// Marks a character of the working copy that already stands in the table;
// it is not an alphabet byte, so it never collides with a real character.
constexpr std::uint8_t UsedMark = 0x40;
constexpr std::uint8_t ChainingByte = '0';

constexpr std::array<std::uint16_t, 256> MakeCrcTable()
{
    std::array<std::uint16_t, 256> table{};
    for (unsigned n = 0; n < 256; ++n) {
        std::uint16_t reg = static_cast<std::uint16_t>(n);
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = (reg & 1u) != 0;
            reg = static_cast<std::uint16_t>(reg >> 1);
            if (carry)
                reg ^= ReflectedPolynomial;
        }
        table[n] = reg;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> CrcTable = MakeCrcTable();

using DrawList = std::array<std::uint8_t, AlphabetSize>;

// Each draw is the CRC of the seed, and feeds back into the seed's last two
// bytes so that the next draw differs.
DrawList MakeDraws(std::span<const std::uint8_t, SeedSize> seed)
{
    std::array<std::uint8_t, SeedSize + 2> chained{};
    std::copy(seed.begin(), seed.end(), chained.begin());
    chained[SeedSize] = ChainingByte;
    chained[SeedSize + 1] = ChainingByte;

    DrawList draws{};
    for (auto& draw : draws) {
        const std::uint16_t crc = KeyCrc16(chained.data(), static_cast<std::uint16_t>(chained.size()));
        draw = static_cast<std::uint8_t>(crc % AlphabetSize);
        chained[SeedSize] = static_cast<std::uint8_t>(crc >> 8);
        chained[SeedSize + 1] = static_cast<std::uint8_t>(crc & 0xFF);
    }
    return draws;
}

} // namespace

std::uint16_t KeyCrc16(const std::uint8_t* data, std::uint16_t count)
{
    std::uint16_t crc = CrcInitial;
    for (std::uint16_t i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>(CrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8));
    return crc;
}

SubstitutionTable BuildSubstitutionTable(std::span<const std::uint8_t, SeedSize> seed)
{
    const DrawList draws = MakeDraws(seed);
    SubstitutionTable table = Alphabet;
    std::array<std::uint8_t, AlphabetSize> work = Alphabet;

    for (std::size_t i = 0; i < AlphabetSize; ++i) {
        const std::size_t drawn = draws[i];
        const std::uint8_t candidate = work[drawn];
        if (candidate != UsedMark && candidate != table[i]) {
            table[i] = candidate;
            work[drawn] = UsedMark;
            continue;
        }
        // The drawn character is taken or would stand for itself: fall back to
        // the first free one. Only "/" at the last entry can find none.
        const auto free = std::find_if(work.begin(), work.end(), [&](std::uint8_t ch) {
            return ch != UsedMark && ch != table[i];
        });
        if (free != work.end()) {
            table[i] = *free;
            *free = UsedMark;
        }
    }
    return table;
}

void PrepareEncriptMatrix(std::span<const std::uint8_t> key)
{
    // The run refuses short keys before it gets here; reading past the end of
    // one would be worse than refusing it loudly.
    if (key.size() < SeedSize)
        throw std::invalid_argument("the decoding key needs at least 10 bytes");
    UserTable = BuildSubstitutionTable(key.first<SeedSize>());
}

void PrepareEncriptMatrixFix()
{
    FixedTable = BuildSubstitutionTable(FixedKey);
}

std::uint8_t DecipherByte(const SubstitutionTable& table, std::uint8_t b)
{
    for (std::size_t i = 0; i < AlphabetSize; ++i) {
        if (table[i] == b)
            return Alphabet[i];
    }
    return b;
}

DecipherLookup BuildDecipherLookup(const SubstitutionTable& table)
{
    DecipherLookup lookup{};
    for (unsigned b = 0; b < lookup.size(); ++b)
        lookup[b] = static_cast<std::uint8_t>(b);
    // Backwards, so that of two equal entries the first one wins, as in the search.
    for (std::size_t i = AlphabetSize; i-- > 0;)
        lookup[table[i]] = Alphabet[i];
    return lookup;
}

} // namespace vantrel::engine
