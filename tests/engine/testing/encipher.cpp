#include "testing/encipher.h"

#include <stdexcept>

namespace vantrel::engine::testing {

namespace {

void RequireNoMarkerBytes(std::string_view text)
{
    if (text.find_first_of("&#~*") != std::string_view::npos)
        throw std::invalid_argument("text for an enciphered part must not hold '&', '#', '~' or '*'");
}

} // namespace

SubstitutionTable TableForKey(std::string_view key)
{
    if (key.size() < SeedSize)
        throw std::invalid_argument("a key needs at least 10 bytes");
    std::array<std::uint8_t, SeedSize> seed{};
    for (std::size_t i = 0; i < SeedSize; ++i)
        seed[i] = static_cast<std::uint8_t>(key[i]);
    return BuildSubstitutionTable(seed);
}

SubstitutionTable FixedKeyTable()
{
    return BuildSubstitutionTable(FixedKey);
}

std::uint8_t EncipherByte(const SubstitutionTable& table, std::uint8_t plain)
{
    for (std::size_t i = 0; i < AlphabetSize; ++i) {
        if (Alphabet[i] == plain)
            return table[i];
    }
    return plain;
}

std::string Encipher(const SubstitutionTable& table, std::string_view plain)
{
    std::string cipher(plain);
    for (char& c : cipher)
        c = static_cast<char>(EncipherByte(table, static_cast<std::uint8_t>(c)));
    return cipher;
}

std::string EncipherCheckText(const SubstitutionTable& user, const SubstitutionTable& fixed,
                              std::string_view plain)
{
    return Encipher(fixed, Encipher(user, plain));
}

EncodedStreamBuilder::EncodedStreamBuilder(const SubstitutionTable& user, const SubstitutionTable& fixed)
    : user_(user), fixed_(fixed)
{
}

void EncodedStreamBuilder::Append(std::string_view encoded, std::string_view decoded)
{
    encoded_ += encoded;
    decoded_ += decoded;
}

EncodedStreamBuilder& EncodedStreamBuilder::Plain(std::string_view text)
{
    Append(text, text);
    return *this;
}

EncodedStreamBuilder& EncodedStreamBuilder::Region(std::string_view plainText)
{
    OpenRegion(plainText);
    Append("#####", "#####");
    return *this;
}

EncodedStreamBuilder& EncodedStreamBuilder::OpenRegion(std::string_view plainText)
{
    RequireNoMarkerBytes(plainText);
    Append("&&&&&", "&&&&&");
    Append(Encipher(user_, plainText), plainText);
    return *this;
}

EncodedStreamBuilder& EncodedStreamBuilder::CheckBlock(const std::vector<CheckPair>& pairs)
{
    std::string block = "~~~~~";
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const CheckPair& pair = pairs[i];
        RequireNoMarkerBytes(pair.reference);
        const std::string checked = pair.valid ? pair.reference : pair.reference + "0";
        if (i > 0)
            block += "*#*"; // the ignored field between two pairs
        block += "*#" + pair.reference + "#*";
        block += "*#" + EncipherCheckText(user_, fixed_, checked) + "#*";
    }
    Append(block, block);
    return *this;
}

} // namespace vantrel::engine::testing
