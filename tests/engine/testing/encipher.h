#pragma once
// Builds real encoded streams for tests and fixture files: the inverse of a
// substitution table enciphers plain text, so what the decoder gets back is
// known in advance.
//
//   auto user = vantrel::engine::testing::TableForKey("0123456789");
//   EncodedStreamBuilder stream(user);
//   stream.CheckBlock({{"KEY CHECK"}}).Plain("hello ").Region("SECRET 42").Plain("\n");
//   stream.Encoded();  // what goes into the source file
//   stream.Decoded();  // what decoding with the same key gives
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/cipher_tables.h"

namespace vantrel::engine::testing {

// The table that key's first 10 bytes build (key must hold at least 10 bytes).
SubstitutionTable TableForKey(std::string_view key);
// The table built from FixedKey.
SubstitutionTable FixedKeyTable();

// The byte that DecipherByte(table, ·) turns into plain; bytes outside the
// Alphabet come back unchanged, as they do when deciphered.
std::uint8_t EncipherByte(const SubstitutionTable& table, std::uint8_t plain);
std::string Encipher(const SubstitutionTable& table, std::string_view plain);

// The check field content whose bytes, deciphered with fixed and then with
// user, give plain.
std::string EncipherCheckText(const SubstitutionTable& user, const SubstitutionTable& fixed,
                              std::string_view plain);

// One reference field and its check field. An invalid check field deciphers
// to the reference text followed by "0", so it never matches.
struct CheckPair {
    std::string reference;
    bool valid = true;
};

class EncodedStreamBuilder {
public:
    explicit EncodedStreamBuilder(const SubstitutionTable& user,
                                  const SubstitutionTable& fixed = FixedKeyTable());

    // Copied unchanged. It should not complete a marker, together with what
    // comes before it, or Decoded() will not describe the stream.
    EncodedStreamBuilder& Plain(std::string_view text);
    // "&&&&&", the enciphered text, "#####". Throws std::invalid_argument
    // when the text holds '&', '#', '~' or '*'.
    EncodedStreamBuilder& Region(std::string_view plainText);
    // "&&&&&" and the enciphered text, left open to the end of the stream.
    EncodedStreamBuilder& OpenRegion(std::string_view plainText);
    // "~~~~~" and then, for each pair, a reference field, its check field and
    // (between pairs) an empty ignored field. Pair k is compared at the close
    // of field 3k - 1. Reference texts must not hold marker bytes (throws).
    EncodedStreamBuilder& CheckBlock(const std::vector<CheckPair>& pairs);

    const std::string& Encoded() const { return encoded_; }
    const std::string& Decoded() const { return decoded_; }
    std::vector<std::uint8_t> EncodedBytes() const { return {encoded_.begin(), encoded_.end()}; }
    std::vector<std::uint8_t> DecodedBytes() const { return {decoded_.begin(), decoded_.end()}; }

private:
    void Append(std::string_view encoded, std::string_view decoded);

    SubstitutionTable user_;
    SubstitutionTable fixed_;
    std::string encoded_;
    std::string decoded_;
};

} // namespace vantrel::engine::testing
