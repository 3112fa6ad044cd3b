#include "batch/decoding_key.h"

#include <clocale>
#include <gtest/gtest.h>

#include "batch/key_code_page.h"
#include "engine/cipher_tables.h"
#include "testing/encipher.h"

namespace vantrel::batch {
namespace {

using Fault = KeyInCodePage::Fault;

TEST(DecodingKey, IsMeasuredInCodePageBytesWithoutBlanksAround)
{
    using namespace std::string_literals;
    const struct {
        std::string typed; // UTF-8
        std::string codePage;
        std::optional<std::string> key;
    } cases[] = {
        {"0123456789", "CP1252", "0123456789"},
        {"012345678", "CP1252", std::nullopt},
        {"  0123456789  ", "CP1252", "0123456789"},
        {" \t\r\n012345678 \x1f", "CP1252", std::nullopt},
        {"\x01\x02" "0123456789" "\x7f", "CP1252", "0123456789\x7f"}, // 127 is no blank
        {"\0 01234 6789\0"s, "CP1252", "01234 6789"},                 // inner blanks count
        {"", "CP1252", std::nullopt},
        {std::string(40, ' '), "CP1252", std::nullopt},
        {"ключ-ключ1", "CP1251", "\xea\xeb\xfe\xf7-\xea\xeb\xfe\xf7" "1"},
        {" ключ-ключ1\t", "CP1251", "\xea\xeb\xfe\xf7-\xea\xeb\xfe\xf7" "1"},
        {"ключ12345", "CP1251", std::nullopt}, // 13 bytes in UTF-8, 9 here
        {"ключ-ключ1", "CP1252", std::nullopt}, // no byte for these letters: never "?"
        {"żółć-gęślą", "CP1250", "\xbf\xf3\xb3\xe6-\x67\xea\x9c\x6c\xb9"},
        {"Ελλάδα-123", "CP1253", "\xc5\xeb\xeb\xdc\xe4\xe1-123"},
        {"123456789€", "CP1252", "123456789\x80"},
        {"12345678€", "CP1252", std::nullopt},
        {"Größe-1234", "CP1251", std::nullopt},
        // Double-byte code pages: bytes count, not characters.
        {"日本語abcd", "CP932", "\x93\xfa\x96\x7b\x8c\xea" "abcd"},
        {"\t日本語abc ", "CP932", std::nullopt}, // 9 bytes
        {"中文中文中", "CP936", "\xd6\xd0\xce\xc4\xd6\xd0\xce\xc4\xd6\xd0"},
        {"中文中文中", "CP950", "\xa4\xa4\xa4\xe5\xa4\xa4\xa4\xe5\xa4\xa4"},
        {"한국한국한", "CP949", "\xc7\xd1\xb1\xb9\xc7\xd1\xb1\xb9\xc7\xd1"},
        {"한국한국한", "CP932", std::nullopt}, // no Korean letters in the Japanese code page
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AcceptTypedKey(c.typed, "UTF-8", c.codePage).key, c.key) << c.typed << " in " << c.codePage;
    }
}

TEST(DecodingKey, TextThatIsBrokenOrHasNoBytesInTheCodePageIsNoKey)
{
    const struct {
        std::string text;
        std::string charset;
        std::string codePage;
        KeyInCodePage expected;
    } cases[] = {
        {"\xcb\xcc\xc0\xde", "KOI8-R", "CP1251", {"\xea\xeb\xfe\xf7", Fault::None}}, // "ключ"
        {"\xea\xeb\xfe\xf7", "CP1251", "CP1251", {"\xea\xeb\xfe\xf7", Fault::None}},
        {"key \xc3\x28", "UTF-8", "CP1252", {"", Fault::NotText}},     // a broken sequence
        {"key \xc0\xaf", "UTF-8", "CP1252", {"", Fault::NotText}},     // an overlong "/"
        {"key \xe2\x82", "UTF-8", "CP1252", {"", Fault::NotText}},     // cut off at the end
        {"key \xe2\x80\x94", "UTF-8", "CP1251", {"key \x97", Fault::None}}, // an em dash
        {"key \xe4\xb8\xad", "UTF-8", "CP1251", {"", Fault::NotInCodePage}},
        {"key", "UTF-8", "NO-SUCH-CODE-PAGE", {"", Fault::NotInCodePage}},
    };
    for (const auto& c : cases) {
        const KeyInCodePage got = ToKeyCodePage(c.text, c.charset, c.codePage);
        EXPECT_EQ(got.fault, c.expected.fault) << c.text;
        EXPECT_EQ(got.bytes, c.expected.bytes) << c.text;
    }
}

TEST(KeyCodePage, FollowsTheLanguageOfTheLocale)
{
    const struct {
        const char* locale;
        const char* codePage;
    } cases[] = {
        {"ru_RU.UTF-8", "CP1251"}, {"uk_UA.UTF-8", "CP1251"}, {"be_BY.UTF-8", "CP1251"}, {"bg_BG", "CP1251"},
        {"sr_RS", "CP1251"},       {"mk_MK.UTF-8", "CP1251"}, {"pl_PL.ISO-8859-2", "CP1250"},
        {"cs_CZ", "CP1250"},       {"sk_SK", "CP1250"},       {"hu_HU", "CP1250"}, {"sl_SI", "CP1250"},
        {"hr_HR", "CP1250"},       {"ro_RO", "CP1250"},       {"sr_RS@latin", "CP1250"},
        {"el_GR.UTF-8", "CP1253"}, {"tr_TR", "CP1254"},       {"he_IL", "CP1255"}, {"ar_EG", "CP1256"},
        {"fa_IR", "CP1256"},       {"et_EE", "CP1257"},       {"lv_LV", "CP1257"}, {"lt_LT", "CP1257"},
        {"vi_VN", "CP1258"},       {"th_TH.UTF-8", "CP874"},  {"ru", "CP1251"}, {"RU_RU.UTF-8", "CP1251"},
        {"kk_KZ", "CP1251"},       {"ky_KG", "CP1251"},       {"tt_RU", "CP1251"},
        {"mn_MN", "CP1251"},       {"tg_TJ", "CP1251"},       {"ba_RU", "CP1251"}, {"sah_RU", "CP1251"},
        {"sr_ME", "CP1251"},       {"uz_UZ@cyrillic", "CP1251"}, {"az_AZ@cyrillic", "CP1251"},
        {"bs_BA@cyrillic", "CP1251"}, {"sq_AL", "CP1250"},    {"bs_BA", "CP1250"}, {"tk_TM", "CP1250"},
        {"az_AZ.UTF-8", "CP1254"}, {"uz_UZ", "CP1254"},       {"az_IR", "CP1256"}, {"ur_PK", "CP1256"},
        {"ur_IN", "CP1256"},       {"ug_CN", "CP1256"},       {"ps_AF", "CP1256"}, {"ckb_IQ", "CP1256"},
        {"pa_PK", "CP1256"},       {"pa_IN", "CP1252"},       {"sd_IN", "CP1256"}, {"sd_IN@devanagari", "CP1252"},
        {"ja_JP.UTF-8", "CP932"},  {"ja", "CP932"},           {"zh_CN.GB18030", "CP936"}, {"zh_SG", "CP936"},
        {"zh_TW.UTF-8", "CP950"},  {"zh_HK", "CP950"},        {"zh_mo", "CP950"}, {"zh", "CP936"},
        {"ko_KR.EUC-KR", "CP949"},
        {"en_US.UTF-8", "CP1252"}, {"de_DE@euro", "CP1252"},  {"hi_IN", "CP1252"},
        {"rup_MK", "CP1252"},      {"C", "CP1252"},           {"C.UTF-8", "CP1252"}, {"POSIX", "CP1252"},
        {"", "CP1252"},
    };
    for (const auto& c : cases) {
        const std::string codePage = KeyCodePageForLocale(c.locale);
        EXPECT_EQ(codePage, c.codePage) << c.locale;
        EXPECT_NE(KindOfEncoding(codePage), EncodingKind::Unknown) << codePage;
        EXPECT_NE(KindOfEncoding(codePage), EncodingKind::MultiByte) << codePage;
    }
}

TEST(KeyCodePage, OnlySingleByteAndWindowsDoubleByteEncodingsThatIconvKnowsAreCodePages)
{
    const struct {
        const char* name;
        EncodingKind kind;
    } cases[] = {
        {"CP1251", EncodingKind::SingleByte},       {"windows-1251", EncodingKind::SingleByte},
        {"CP1251//", EncodingKind::SingleByte},     {"KOI8-R", EncodingKind::SingleByte},
        {"ISO-8859-1", EncodingKind::SingleByte},   {"ASCII", EncodingKind::SingleByte},
        {"UTF-8", EncodingKind::MultiByte},         {"UTF-16", EncodingKind::MultiByte},
        {"SHIFT_JIS", EncodingKind::MultiByte},     {"GB18030", EncodingKind::MultiByte},
        {"BIG5", EncodingKind::MultiByte},          {"EUC-KR", EncodingKind::MultiByte},
        {"CP932", EncodingKind::WindowsDoubleByte}, {"cp936//", EncodingKind::WindowsDoubleByte},
        {"CP949", EncodingKind::WindowsDoubleByte}, {"Cp950", EncodingKind::WindowsDoubleByte},
        {"CP932//TRANSLIT", EncodingKind::Unknown},
        {"ISO-2022-JP", EncodingKind::MultiByte},   {"UTF-7", EncodingKind::MultiByte},
        {"CP1251//TRANSLIT", EncodingKind::Unknown}, {"CP1251//IGNORE", EncodingKind::Unknown},
        {"", EncodingKind::Unknown},                {"NO-SUCH-CODE-PAGE", EncodingKind::Unknown},
    };
    for (const auto& c : cases) EXPECT_EQ(KindOfEncoding(c.name), c.kind) << c.name;
}

TEST(KeyCodePage, ThePlainCLocaleReadsKeysAsUtf8)
{
    const std::string before = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
    EXPECT_EQ(LocaleKeyCodePage(), "CP1252");
    EXPECT_EQ(LocaleKeyTextCharset(), "UTF-8");
    std::setlocale(LC_CTYPE, before.c_str());
}

TEST(DecodingKey, TablesComeFromTheFirstTenBytesOfTheKey)
{
    PrepareTables("ABCDEFGHIJ and more");
    EXPECT_EQ(engine::UserTable, engine::testing::TableForKey("ABCDEFGHIJ"));
    EXPECT_EQ(engine::FixedTable, engine::testing::FixedKeyTable());
}

} // namespace
} // namespace vantrel::batch
