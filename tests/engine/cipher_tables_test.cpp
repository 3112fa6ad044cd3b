#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/cipher_tables.h"
#include "testing/encipher.h"

namespace vantrel::engine {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::string AsText(const SubstitutionTable& table) { return {table.begin(), table.end()}; }

// Bit by bit, without a table: an independent way to the same CRC.
std::uint16_t BitwiseCrc(const std::vector<std::uint8_t>& data)
{
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t b : data) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::uint16_t Crc(const std::vector<std::uint8_t>& data)
{
    return KeyCrc16(data.data(), static_cast<std::uint16_t>(data.size()));
}

// ---- KeyCrc16 ----

TEST(KeyCrc16, KnownValues)
{
    struct Case {
        std::vector<std::uint8_t> data;
        std::uint16_t crc;
    };
    const Case cases[] = {
        {{}, 0xFFFF},
        {Bytes("123456789"), 0x6F91},
        {{0x80, 0xFF, 0xC4}, 0x4A37}, // bytes above 0x7F count as 128..255
    };
    for (const auto& c : cases)
        EXPECT_EQ(Crc(c.data), c.crc) << ::testing::PrintToString(c.data);
}

TEST(KeyCrc16, TableBeginsWithTheReflectedPolynomialMultiples)
{
    // Over one byte b the register is T[b ^ 0xFF] ^ 0x00FF, which exposes T.
    const std::uint16_t expected[] = {0x0000, 0x1189, 0x2312, 0x329B};
    for (std::uint8_t n = 0; n < 4; ++n) {
        const std::uint8_t b = n ^ 0xFF;
        EXPECT_EQ(KeyCrc16(&b, 1) ^ 0x00FF, expected[n]) << "T[" << int(n) << "]";
    }
}

TEST(KeyCrc16, AgreesWithBitwiseComputationOnRandomData)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> data(random() % 40);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random());
        ASSERT_EQ(Crc(data), BitwiseCrc(data)) << ::testing::PrintToString(data);
    }
}

// ---- key schedule ----

std::array<std::uint8_t, SeedSize> SeedOf(std::string_view text)
{
    std::array<std::uint8_t, SeedSize> seed{};
    std::copy_n(text.begin(), SeedSize, seed.begin());
    return seed;
}

TEST(KeySchedule, KnownTables)
{
    // Worked out by hand-written script from the algorithm, independently of this code.
    struct Case {
        std::array<std::uint8_t, SeedSize> seed;
        std::string table;
    };
    const Case cases[] = {
        {SeedOf("0123456789"), "7KD8C0ZR1HB25VAS3W/4EJ69 NFLGIMOPQTUXY"},
        {FixedKey, "CW601OBSGAM23L9ZIX4578DEFHNUJKPQRTVY/ "},
        {{0xFF, 0x80, 0xE9, 0xC4, 0x91, 0xA0, 0xFE, 0x81, 0x90, 0xB3}, "M7LIC8JQTH10U2345/YDB69AEFGVKPNORSWXZ "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AsText(BuildSubstitutionTable(c.seed)), c.table);
}

std::vector<std::array<std::uint8_t, SeedSize>> ManySeeds()
{
    std::vector<std::array<std::uint8_t, SeedSize>> seeds = {
        {}, FixedKey, SeedOf("0123456789"), SeedOf("AAAAAAAAAA"),
    };
    seeds.push_back({});
    seeds.back().fill(0xFF);
    std::mt19937 random(11);
    for (int i = 0; i < 2000; ++i) {
        std::array<std::uint8_t, SeedSize> seed{};
        for (auto& b : seed)
            b = static_cast<std::uint8_t>(random());
        seeds.push_back(seed);
    }
    return seeds;
}

TEST(KeySchedule, EveryTableIsAPermutationWithoutFixedPointsBelow37)
{
    const std::set<std::uint8_t> alphabet(Alphabet.begin(), Alphabet.end());
    int slashKeptItsPlace = 0;
    for (const auto& seed : ManySeeds()) {
        const SubstitutionTable table = BuildSubstitutionTable(seed);
        ASSERT_EQ(std::set<std::uint8_t>(table.begin(), table.end()), alphabet) << AsText(table);
        for (std::size_t i = 0; i < 37; ++i)
            ASSERT_NE(table[i], Alphabet[i]) << "entry " << i << " of " << AsText(table);
        slashKeptItsPlace += table[37] == '/';
    }
    // "/" may stand for itself, and does for some seeds.
    EXPECT_GT(slashKeptItsPlace, 0);
}

TEST(KeySchedule, OnlyTheFirstTenKeyBytesCount)
{
    PrepareEncriptMatrix(Bytes("0123456789 and more"));
    const SubstitutionTable first = UserTable;
    PrepareEncriptMatrix(Bytes("0123456789"));
    EXPECT_EQ(UserTable, first);
    PrepareEncriptMatrix(Bytes("0123456789\xff\x80"));
    EXPECT_EQ(UserTable, first);
    EXPECT_EQ(AsText(first), "7KD8C0ZR1HB25VAS3W/4EJ69 NFLGIMOPQTUXY");
}

TEST(KeySchedule, EachSeedByteMatters)
{
    const auto base = SeedOf("0123456789");
    for (std::size_t i = 0; i < SeedSize; ++i) {
        auto changed = base;
        changed[i] ^= 0x80;
        EXPECT_NE(BuildSubstitutionTable(changed), BuildSubstitutionTable(base)) << "byte " << i;
    }
}

TEST(KeySchedule, FixedTableComesFromFixedKey)
{
    PrepareEncriptMatrixFix();
    EXPECT_EQ(AsText(FixedTable), "CW601OBSGAM23L9ZIX4578DEFHNUJKPQRTVY/ ");
}

TEST(KeySchedule, ShortKeyIsRefusedNotOverread)
{
    EXPECT_THROW(PrepareEncriptMatrix(Bytes("123456789")), std::invalid_argument);
}

// ---- DecipherByte and its lookup ----

TEST(DecipherByte, OnlyAlphabetBytesChangeAndThoseOneToOne)
{
    const SubstitutionTable table = testing::TableForKey("decoder-key");
    std::set<std::uint8_t> images;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        const std::uint8_t plain = DecipherByte(table, byte);
        const bool inAlphabet = std::find(Alphabet.begin(), Alphabet.end(), byte) != Alphabet.end();
        if (inAlphabet) {
            EXPECT_NE(std::find(Alphabet.begin(), Alphabet.end(), plain), Alphabet.end()) << b;
            images.insert(plain);
        } else {
            EXPECT_EQ(plain, byte) << b;
        }
    }
    EXPECT_EQ(images.size(), AlphabetSize);
    for (std::size_t i = 0; i < AlphabetSize; ++i)
        EXPECT_EQ(DecipherByte(table, table[i]), Alphabet[i]);
}

TEST(DecipherByte, LookupAgreesForEveryByte)
{
    // Also for a table that is no permutation, as the tables are before the first build.
    const SubstitutionTable tables[] = {testing::TableForKey("decoder-key"), SubstitutionTable{}};
    for (const auto& table : tables) {
        const DecipherLookup lookup = BuildDecipherLookup(table);
        for (int b = 0; b < 256; ++b)
            ASSERT_EQ(lookup[b], DecipherByte(table, static_cast<std::uint8_t>(b))) << b;
    }
}

TEST(DecipherByte, EncipherIsItsInverse)
{
    const SubstitutionTable table = testing::TableForKey("another key");
    const std::string plain = "THE QUICK/BROWN FOX 0123456789 jumps.";
    const std::string cipher = testing::Encipher(table, plain);
    EXPECT_NE(cipher, plain);
    std::string back;
    for (char c : cipher)
        back += static_cast<char>(DecipherByte(table, static_cast<std::uint8_t>(c)));
    EXPECT_EQ(back, plain);
}

} // namespace
} // namespace vantrel::engine
