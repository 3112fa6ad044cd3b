#include "batch/key_code_page.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <iconv.h>
#include <langinfo.h>
#include <optional>

namespace vantrel::batch {
namespace {

// The ANSI code page Windows gives a language, and with it every key typed
// under that language. A territory or a script (the locale's modifier) picks
// a variant where the language is written in more than one way; entries with
// one come before the language's own entry, and the first that fits wins.
struct LanguageCodePage {
    std::string_view language;  // as locale names begin: ISO 639-1, else 639-2
    std::string_view territory; // empty: any
    std::string_view modifier;  // empty: any
    std::string_view codePage;
};

constexpr LanguageCodePage LanguageCodePages[] = {
    // Cyrillic
    {"ru", "", "", "CP1251"}, {"uk", "", "", "CP1251"}, {"be", "", "", "CP1251"}, {"bg", "", "", "CP1251"},
    {"sr", "", "latin", "CP1250"}, {"sr", "", "", "CP1251"}, {"mk", "", "", "CP1251"}, {"kk", "", "", "CP1251"},
    {"ky", "", "", "CP1251"}, {"tt", "", "", "CP1251"}, {"mn", "", "", "CP1251"}, {"tg", "", "", "CP1251"},
    {"ba", "", "", "CP1251"}, {"sah", "", "", "CP1251"}, {"bs", "", "cyrillic", "CP1251"},
    {"az", "", "cyrillic", "CP1251"}, {"uz", "", "cyrillic", "CP1251"},
    // Central European
    {"pl", "", "", "CP1250"}, {"cs", "", "", "CP1250"}, {"sk", "", "", "CP1250"}, {"hu", "", "", "CP1250"},
    {"sl", "", "", "CP1250"}, {"hr", "", "", "CP1250"}, {"ro", "", "", "CP1250"}, {"sq", "", "", "CP1250"},
    {"bs", "", "", "CP1250"}, {"tk", "", "", "CP1250"},
    // Greek, Turkish and the Turkic languages in Latin script, Hebrew
    {"el", "", "", "CP1253"}, {"tr", "", "", "CP1254"}, {"az", "IR", "", "CP1256"}, {"az", "", "", "CP1254"},
    {"uz", "", "", "CP1254"}, {"he", "", "", "CP1255"},
    // Arabic script
    {"ar", "", "", "CP1256"}, {"fa", "", "", "CP1256"}, {"ur", "", "", "CP1256"}, {"ug", "", "", "CP1256"},
    {"ps", "", "", "CP1256"}, {"ckb", "", "", "CP1256"}, {"pa", "PK", "", "CP1256"},
    {"sd", "", "devanagari", "CP1252"}, {"sd", "", "", "CP1256"},
    // Baltic, Vietnamese, Thai
    {"et", "", "", "CP1257"}, {"lv", "", "", "CP1257"}, {"lt", "", "", "CP1257"}, {"vi", "", "", "CP1258"},
    {"th", "", "", "CP874"},
    // Double-byte: Japanese, Chinese in its simplified and traditional
    // writing (by where it is used), Korean
    {"ja", "", "", "CP932"}, {"zh", "TW", "", "CP950"}, {"zh", "HK", "", "CP950"}, {"zh", "MO", "", "CP950"},
    {"zh", "", "", "CP936"}, {"ko", "", "", "CP949"},
};

// The Windows code pages whose characters take one or two bytes; a key is
// taken as its bytes there too.
constexpr std::string_view WindowsDoubleByteCodePages[] = {"CP932", "CP936", "CP949", "CP950"};

std::string Lowercase(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::string Uppercase(std::string_view text)
{
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return upper;
}

// One iconv conversion descriptor, always used from its initial state.
class Conversion {
public:
    Conversion(const std::string& to, const std::string& from) : cd_(::iconv_open(to.c_str(), from.c_str())) {}
    ~Conversion()
    {
        if (IsOpen()) ::iconv_close(cd_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Why the last Convert() gave nothing: EILSEQ (no such character, here
    // or there) or EINVAL (the input ends inside a character).
    int LastError() const { return lastError_; }

    // All of in, converted, or nothing when any part of it could not be:
    // a byte sequence that is not a character, an incomplete one at the end,
    // or a character the target cannot hold.
    std::optional<std::string> Convert(std::string_view in)
    {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 16, '\0');
        char* inNext = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        std::size_t written = 0;
        for (;;) {
            // Once the input is used up, a stateful encoding still owes the
            // characters it held back and its return to the initial state.
            const bool flushing = inLeft == 0;
            char* outNext = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t result = flushing ? ::iconv(cd_, nullptr, nullptr, &outNext, &outLeft)
                                                : ::iconv(cd_, &inNext, &inLeft, &outNext, &outLeft);
            written = out.size() - outLeft;
            if (result == static_cast<std::size_t>(-1)) {
                if (errno != E2BIG) {
                    lastError_ = errno;
                    return std::nullopt;
                }
                out.resize(out.size() * 2);
                continue;
            }
            // A conversion iconv counts as irreversible stands for a
            // character the target does not have.
            if (result != 0) {
                lastError_ = EILSEQ;
                return std::nullopt;
            }
            if (flushing) break;
        }
        out.resize(written);
        return out;
    }

private:
    iconv_t cd_;
    int lastError_ = 0;
};

} // namespace

std::string KeyCodePageForLocale(std::string_view localeName)
{
    // language[_territory][.charset][@modifier]
    const std::string_view languageAndTerritory = localeName.substr(0, localeName.find_first_of(".@"));
    const std::size_t underscore = languageAndTerritory.find('_');
    const std::string language = Lowercase(languageAndTerritory.substr(0, underscore));
    const std::string territory =
        underscore == std::string_view::npos ? std::string() : Lowercase(languageAndTerritory.substr(underscore + 1));
    const std::size_t at = localeName.find('@');
    const std::string modifier = at == std::string_view::npos ? std::string() : Lowercase(localeName.substr(at + 1));
    for (const LanguageCodePage& entry : LanguageCodePages) {
        if (entry.language != language) continue;
        if (!entry.territory.empty() && Lowercase(entry.territory) != territory) continue;
        if (!entry.modifier.empty() && entry.modifier != modifier) continue;
        return std::string(entry.codePage);
    }
    return std::string(DefaultKeyCodePage);
}

std::string LocaleKeyCodePage()
{
    const char* name = std::setlocale(LC_CTYPE, nullptr);
    return KeyCodePageForLocale(name != nullptr ? name : "C");
}

std::string LocaleKeyTextCharset()
{
    const char* charset = ::nl_langinfo(CODESET);
    const std::string name = charset != nullptr ? charset : "";
    if (name.empty() || name == "ANSI_X3.4-1968" || Lowercase(name) == "ascii") return "UTF-8";
    return name;
}

EncodingKind KindOfEncoding(const std::string& name)
{
    const std::string plain = name.ends_with("//") ? name.substr(0, name.size() - 2) : name;
    // An empty name is the locale's own character set to iconv.
    if (plain.empty() || plain.find('/') != std::string::npos) return EncodingKind::Unknown;
    if (!Conversion("UTF-8", plain).IsOpen()) return EncodingKind::Unknown;
    Conversion decode("UTF-32LE", plain);
    if (!decode.IsOpen()) return EncodingKind::Unknown;
    const std::string upper = Uppercase(plain);
    if (std::find(std::begin(WindowsDoubleByteCodePages), std::end(WindowsDoubleByteCodePages), upper) !=
        std::end(WindowsDoubleByteCodePages))
        return EncodingKind::WindowsDoubleByte;
    // Each byte on its own must be one character or none at all: a lead byte
    // of a longer sequence is incomplete alone, and a shift byte of a
    // stateful encoding gives no character.
    int characters = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char one = static_cast<char>(byte);
        const std::optional<std::string> decoded = decode.Convert(std::string_view(&one, 1));
        if (!decoded) {
            if (decode.LastError() == EILSEQ) continue; // a byte the encoding leaves unused
            return EncodingKind::MultiByte;
        }
        if (decoded->size() != 4) return EncodingKind::MultiByte;
        ++characters;
    }
    return characters > 0 ? EncodingKind::SingleByte : EncodingKind::MultiByte;
}

KeyInCodePage ToKeyCodePage(std::string_view text, const std::string& textCharset, const std::string& codePage)
{
    using Fault = KeyInCodePage::Fault;
    // Through UTF-8 first, so that text that is broken in its own character
    // set is told apart from a letter the code page lacks.
    Conversion toUtf8("UTF-8", textCharset);
    Conversion toCodePage(codePage, "UTF-8");
    if (!toUtf8.IsOpen() || !toCodePage.IsOpen()) return {{}, Fault::NotInCodePage};
    const std::optional<std::string> utf8 = toUtf8.Convert(text);
    if (!utf8) return {{}, Fault::NotText};
    std::optional<std::string> bytes = toCodePage.Convert(*utf8);
    if (!bytes) return {{}, Fault::NotInCodePage};
    return {std::move(*bytes), Fault::None};
}

} // namespace vantrel::batch
