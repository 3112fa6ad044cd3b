#include "cli/escaped_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vantrel::cli {
namespace {

struct CodeRange {
    std::uint32_t first, last;
};

// Unicode's format characters (category Cf), as of Unicode 15.1: invisible,
// they join, separate, hide or reorder the text around them.
constexpr CodeRange FormatCharacters[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
    {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
    {0xE0020, 0xE007F},
};

bool IsFormatCharacter(std::uint32_t code)
{
    const auto after = std::upper_bound(std::begin(FormatCharacters), std::end(FormatCharacters), code,
                                        [](std::uint32_t c, const CodeRange& range) { return c < range.first; });
    return after != std::begin(FormatCharacters) && code <= std::prev(after)->last;
}

// Length of the valid UTF-8 sequence at the start of bytes that may be
// printed as it is, or 0.
std::size_t PrintableLength(std::string_view bytes)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return 0;
    // C1 controls (U+0080 to U+009F) act on terminals like ESC sequences.
    if (code >= 0x80 && code <= 0x9F) return 0;
    if (IsFormatCharacter(code)) return 0;
    return length;
}

void AppendEscapedByte(std::string& text, char c)
{
    static constexpr char digits[] = "0123456789abcdef";
    const auto b = static_cast<std::uint8_t>(c);
    switch (c) {
    case '\\': text += "\\\\"; return;
    case '\t': text += "\\t"; return;
    case '\n': text += "\\n"; return;
    default: break;
    }
    if (b < 0x20 || b == 0x7F || b >= 0x80) {
        const char escape[] = {'\\', 'x', digits[b >> 4], digits[b & 0x0F]};
        text.append(escape, sizeof escape);
    } else {
        text += c;
    }
}

} // namespace

std::size_t AppendEscapedPiece(std::string& text, std::string_view bytes)
{
    const std::size_t length = PrintableLength(bytes);
    if (length > 1) {
        text.append(bytes.substr(0, length));
        return length;
    }
    AppendEscapedByte(text, bytes.front());
    return 1;
}

std::string EscapedText(std::string_view bytes)
{
    std::string text;
    AppendEscapedText(text, bytes);
    return text;
}

void AppendEscapedText(std::string& text, std::string_view bytes)
{
    // Most names are plain printable ASCII, which is copied a run at a time.
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F && c != '\\'; };
    text.reserve(text.size() + bytes.size());
    while (!bytes.empty()) {
        const std::size_t run = std::find_if_not(bytes.begin(), bytes.end(), plain) - bytes.begin();
        text.append(bytes.substr(0, run));
        bytes.remove_prefix(run);
        if (!bytes.empty()) bytes.remove_prefix(AppendEscapedPiece(text, bytes));
    }
}

} // namespace vantrel::cli
