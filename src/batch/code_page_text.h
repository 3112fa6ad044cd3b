#pragma once
// Decoded files keep the bytes of their sources: text in the Windows code page
// it was written in. A desktop that works in Unicode shows it rightly only
// once it is converted, and only in the right code page; the user may have
// to try another one, so every byte must stay visible whichever is chosen.
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantrel::batch {

struct TextCodePage {
    std::string_view name;   // as iconv names it
    std::string_view script; // what it is for, for the user
};

// The Windows code pages, single-byte and double-byte, and UTF-8.
std::span<const TextCodePage> TextCodePages();

enum class TextEnd {
    Whole, // the bytes are the whole text
    Cut,   // the bytes are only the beginning of a longer text
};

// The UTF-16 text of bytes written in codePage; nothing when iconv does not
// know that code page. Every byte that is no character there (or begins no
// whole one) becomes U+FFFD, one for each byte, so nothing is dropped. A
// character that a cut text ends inside is left out, as its other bytes
// were never read.
std::optional<std::u16string> TextFromCodePage(std::string_view bytes, const std::string& codePage, TextEnd end);

} // namespace vantrel::batch
