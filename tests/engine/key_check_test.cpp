// Key-check texts longer than what is held in memory: the verdict must be
// the one the whole texts give, whatever the cap.
#include <gtest/gtest.h>

#include <string>

#include "engine/decode_stream.h"
#include "engine/key_check.h"
#include "engine/text_digest.h"
#include "fake_streams.h"
#include "testing/encipher.h"
#include "testing/reference_decoder.h"

namespace vantrel::engine {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(GatheredText, HoldsNoMoreThanItsCapAndStillComparesWholeTexts)
{
    // Longer than the largest cap below, fed in pieces that cut its blocks.
    std::string text;
    for (std::size_t i = 0; i < (std::size_t(5) << 20); ++i) text += static_cast<char>('A' + i % 26);
    std::string lastChanged = text, heldChanged = text;
    lastChanged.back() = '0';
    heldChanged[5] = '0';

    for (std::size_t cap : {std::size_t(0), std::size_t(100), std::size_t(1) << 22}) {
        SCOPED_TRACE(cap);
        const auto gather = [cap](const std::string& bytes, std::size_t piece) {
            auto gathered = std::make_unique<GatheredText>(cap);
            for (std::size_t at = 0; at < bytes.size(); at += piece)
                gathered->Append(Bytes(bytes).subspan(at, std::min(piece, bytes.size() - at)));
            return gathered;
        };
        const auto whole = gather(text, text.size());
        EXPECT_EQ(whole->Size(), text.size());
        EXPECT_EQ(whole->Held().size(), std::min(cap, text.size()));
        EXPECT_TRUE(whole->Equals(*gather(text, 4093)));
        EXPECT_FALSE(whole->Equals(*gather(lastChanged, 4093)));
        EXPECT_FALSE(whole->Equals(*gather(heldChanged, 4093)));
        EXPECT_FALSE(whole->Equals(*gather(text.substr(1), 4093)));
        EXPECT_FALSE(whole->Equals(*gather(text + "A", 4093)));
        whole->Clear();
        EXPECT_TRUE(whole->Equals(GatheredText(cap)));
    }
}

// The fingerprint at a point fixed here, on every way of computing it the
// processor has, fed whole and in pieces that cut its 16-byte blocks.
// Expected values from a separate bit-by-bit evaluation of the polynomial.
TEST(TextDigest, EveryPathGivesThePolynomialsValue)
{
    const TextDigest::Point point{0x5a, 0x7f, 0x10, 0x35, 0xce, 0xe3, 0x84, 0x59,
                                  0x72, 0x17, 0x28, 0xcd, 0xe6, 0xbb, 0x5c, 0x71};
    std::string thousand;
    for (int i = 0; i < 1000; ++i) thousand += static_cast<char>((i * 7 + 3) & 0xff);
    std::string fourThousand;
    for (int i = 0; i < 4000; ++i) fourThousand += static_cast<char>((i * 13 + 5) & 0xff);
    std::string thousandChanged = thousand;
    thousandChanged.back() = '\0';
    const struct {
        std::string text;
        const char* expected;
    } cases[] = {
        {"", "00000000000000000000000000000000"},
        {"a", "e44b00d385692008af252f228c3ee50d"},
        {"0123456789abcdef", "be432553837bc8109fbdf459b55e13ba"},
        {"0123456789abcdefg", "415bd468cf94d97465c27a4feb65e3f3"},
        {thousand, "e4e9fb3b8af7c16bb7da0aaed4671751"},
        {thousandChanged, "266cadb2f1c59c256483cbf89402882b"},
        {fourThousand, "ed4c43ebd14182d658c4c9cde06230a8"},
    };
    const auto hex = [](const TextDigest::Value& value) {
        std::string text;
        for (const std::uint8_t b : value) text += "0123456789abcdef"[b >> 4], text += "0123456789abcdef"[b & 15];
        return text;
    };
    for (const TextDigest::Path path : TextDigest::AvailablePaths()) {
        for (const auto& c : cases) {
            for (const std::size_t piece : {std::size_t(4000), std::size_t(1), std::size_t(7), std::size_t(700)}) {
                SCOPED_TRACE(::testing::Message() << "path " << static_cast<int>(path) << ", " << c.text.size()
                                                << " bytes in pieces of " << piece);
                TextDigest digest(point, path);
                for (std::size_t at = 0; at < c.text.size(); at += piece)
                    digest.Add(Bytes(c.text).subspan(at, std::min(piece, c.text.size() - at)));
                EXPECT_EQ(hex(digest.Current()), c.expected);
            }
        }
    }
}

const SubstitutionTable User = testing::TableForKey("0123456789");
const SubstitutionTable Fixed = testing::FixedKeyTable();

std::string Field(const std::string& content) { return "*#" + content + "#*"; }
std::string Check(const std::string& plain) { return testing::EncipherCheckText(User, Fixed, plain); }

std::string LongText(std::size_t length, char first)
{
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(first + i % 20);
    return text;
}

std::string WithByte(std::string text, std::size_t at)
{
    text[at] = text[at] == 'Z' ? 'Y' : 'Z';
    return text;
}

// A block that rejects the key unless the check is already over.
std::string RejectingTail()
{
    std::string block = "\n~~~~~";
    for (int pair = 1; pair <= 5; ++pair) block += Field("P") + Field(Check("Q")) + (pair < 5 ? "*#*" : "");
    return block;
}

TEST(KeyCheck, LongFieldsGiveTheWholeTextsVerdictWhateverIsHeld)
{
    const std::string a = LongText(5000, 'A');
    const std::string b = LongText(3001, '0');
    const struct {
        const char* name;
        std::string block;
        bool accepts;
    } cases[] = {
        {"equal", "~~~~~" + Field(a) + Field(Check(a)), true},
        {"last byte differs", "~~~~~" + Field(a) + Field(Check(WithByte(a, a.size() - 1))), false},
        {"first byte differs", "~~~~~" + Field(a) + Field(Check(WithByte(a, 0))), false},
        {"middle byte differs", "~~~~~" + Field(a) + Field(Check(WithByte(a, 2500))), false},
        {"check one byte short", "~~~~~" + Field(a) + Field(Check(a.substr(1))), false},
        {"check one byte long", "~~~~~" + Field(a) + Field(Check(a + "A")), false},
        {"a second block keeps what was gathered",
         "~~~~~" + Field(a) + "~~~~~" + Field(b) + Field(Check(a + "#" + b)), true},
        {"texts that differed are emptied at their comparison",
         "~~~~~" + Field(a) + Field(Check(WithByte(a, 1))) + "*#*" + Field(b) + Field(Check(b)), true},
        {"a check text left open grows on after a new block",
         "~~~~~" + Field(a) + "*#" + Check(a + "#") + "~~~~~*#~~~~" + b + "#*" + Field(Check(b)), true},
    };
    for (const auto& c : cases) {
        const std::string source = c.block + RejectingTail();
        for (std::size_t cap : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(4096),
                                DefaultKeyCheckTextCap}) {
            SCOPED_TRACE(::testing::Message() << c.name << ", cap " << cap);
            SetKeyCheckTextCap(cap);
            testing::TrickleSource input(source, [] { return std::size_t(997); });
            MemorySink sink;
            const StreamVerdict verdict = DecodeStream(input, 0, sink, true, {}, {User, Fixed}, {.chunkSize = 4096});
            SetKeyCheckTextCap(DefaultKeyCheckTextCap);
            EXPECT_EQ(verdict, c.accepts ? StreamVerdict::Accepted : StreamVerdict::Rejected);
            EXPECT_EQ(verdict, testing::ReferenceDecode(Bytes(source), 0, true, {User, Fixed}).verdict);
        }
    }
}

} // namespace
} // namespace vantrel::engine
