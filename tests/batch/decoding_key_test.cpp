#include "batch/decoding_key.h"

#include <gtest/gtest.h>

#include "engine/cipher_tables.h"
#include "testing/encipher.h"

namespace vantrel::batch {
namespace {

TEST(DecodingKey, IsMeasuredInBytesWithoutBlanksAround)
{
    using namespace std::string_literals;
    const struct {
        std::string typed;
        std::optional<std::string> key;
    } cases[] = {
        {"0123456789", "0123456789"},
        {"012345678", std::nullopt},
        {"  0123456789  ", "0123456789"},
        {" \t\r\n012345678 \x1f", std::nullopt},
        {"\x01\x02" "0123456789" "\x7f", "0123456789\x7f"}, // 127 is no blank
        {"\0 01234 6789\0"s, "01234 6789"},                 // inner blanks count
        {"ключ12", "ключ12"},                               // ten bytes, six letters
        {"ключ1", std::nullopt},
        {"", std::nullopt},
        {std::string(40, ' '), std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(AcceptKey(c.typed), c.key) << c.typed;
}

TEST(DecodingKey, TablesComeFromTheFirstTenBytesOfTheKey)
{
    PrepareTables("ABCDEFGHIJ and more");
    EXPECT_EQ(engine::UserTable, engine::testing::TableForKey("ABCDEFGHIJ"));
    EXPECT_EQ(engine::FixedTable, engine::testing::FixedKeyTable());
}

} // namespace
} // namespace vantrel::batch
