#pragma once
// The cipher's alphabet, the key schedule that turns a 10-byte seed into a
// substitution table, and the one-byte decipher step.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel::engine {

inline constexpr std::size_t AlphabetSize = 38;
inline constexpr std::size_t SeedSize = 10;

// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /", without a terminator.
extern const std::array<std::uint8_t, AlphabetSize> Alphabet;

// Entry i is the cipher byte that stands for Alphabet[i].
using SubstitutionTable = std::array<std::uint8_t, AlphabetSize>;

// The constant seed of FixedTable.
extern const std::array<std::uint8_t, SeedSize> FixedKey;

// Rebuilt by every run before its first file; all zero until then.
extern SubstitutionTable UserTable;
extern SubstitutionTable FixedTable;

// CRC-16/MCRF4XX (reflected 0x1021, init 0xFFFF, no final XOR).
std::uint16_t KeyCrc16(const std::uint8_t* data, std::uint16_t count);

// The key schedule on its own: a pure function of the first 10 seed bytes.
SubstitutionTable BuildSubstitutionTable(std::span<const std::uint8_t, SeedSize> seed);

// Fills UserTable from the first 10 bytes of the key. The caller checks the
// key's length first; a shorter one throws std::invalid_argument.
void PrepareEncriptMatrix(std::span<const std::uint8_t> key);
// Fills FixedTable from FixedKey.
void PrepareEncriptMatrixFix();

// Alphabet[i] where table[i] == b; any other byte comes back unchanged.
std::uint8_t DecipherByte(const SubstitutionTable& table, std::uint8_t b);

// The whole DecipherByte map for one table, for bulk work.
using DecipherLookup = std::array<std::uint8_t, 256>;
DecipherLookup BuildDecipherLookup(const SubstitutionTable& table);

} // namespace vantrel::engine
