#pragma once
// The files were enciphered with the bytes the key has in the Windows code
// page of its author's language, so the same letters must give the same bytes
// here. The locale's language picks that code page; iconv turns the typed
// text into its bytes. Most of those code pages have one byte a character;
// the Japanese, Chinese and Korean ones take two for most characters, and the
// key is simply their bytes too.
#include <string>
#include <string_view>

namespace vantrel::batch {

// Where the locale names no language of another code page (and for "C").
inline constexpr std::string_view DefaultKeyCodePage = "CP1252";

// The code page, as iconv names it, of the language of a locale name such as
// "ru_RU.UTF-8" (CP1251), "pl_PL" (CP1250), "ja_JP" (CP932) or "C" (CP1252).
// A script or territory picks the variant where a language has more than one:
// "sr_RS@latin" takes CP1250, "uz_UZ@cyrillic" CP1251, "zh_TW" CP950.
std::string KeyCodePageForLocale(std::string_view localeName);

// The same for the locale the program runs under, as the C library has it
// for LC_CTYPE: the program must have set its locale from the environment
// (setlocale(LC_ALL, "")) before.
std::string LocaleKeyCodePage();

// The character set of a key read as bytes under that locale. The plain C
// locale's is ASCII, in which no other letter can be written; a key with
// other bytes is read as UTF-8 there, as terminals and files send it today.
std::string LocaleKeyTextCharset();

enum class EncodingKind {
    Unknown,           // iconv cannot convert between it and UTF-8
    MultiByte,         // some characters take more than one byte, or a shift state
    WindowsDoubleByte, // CP932, CP936, CP949 or CP950: one or two bytes a character
    SingleByte,        // every character is one byte
};

// What iconv makes of an encoding name. A name may end in "//", as
// "iconv -l" lists them; one with a suffix after that, such as "//TRANSLIT",
// is Unknown, since it would let a character the code page cannot hold turn
// into another key.
EncodingKind KindOfEncoding(const std::string& name);

struct KeyInCodePage {
    enum class Fault {
        None,
        NotText,       // the bytes are not valid text in their character set
        NotInCodePage, // a character has no byte in the code page
    };
    std::string bytes; // empty unless fault is None
    Fault fault = Fault::None;
};

// The bytes of text, written in textCharset, in the code page codePage. No
// character is replaced or dropped: one that the code page cannot hold
// makes the whole key fail.
KeyInCodePage ToKeyCodePage(std::string_view text, const std::string& textCharset, const std::string& codePage);

} // namespace vantrel::batch
