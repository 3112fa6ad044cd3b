#include "cli/escaped_text.h"

#include <cstdint>

namespace vantrel::cli {
namespace {

// Length of the valid UTF-8 sequence at the start of bytes, or 0.
std::size_t Utf8Length(std::string_view bytes)
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
    return length;
}

std::string Hex(std::uint8_t b)
{
    static constexpr char digits[] = "0123456789abcdef";
    return {'\\', 'x', digits[b >> 4], digits[b & 0x0F]};
}

std::string Escape(char c)
{
    const auto b = static_cast<std::uint8_t>(c);
    switch (c) {
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    default: return b < 0x20 || b == 0x7F || b >= 0x80 ? Hex(b) : std::string(1, c);
    }
}

} // namespace

std::vector<std::string> EscapedPieces(std::string_view bytes)
{
    std::vector<std::string> pieces;
    while (!bytes.empty()) {
        const std::size_t length = Utf8Length(bytes);
        if (length > 1) {
            pieces.emplace_back(bytes.substr(0, length));
            bytes.remove_prefix(length);
        } else {
            pieces.push_back(Escape(bytes.front()));
            bytes.remove_prefix(1);
        }
    }
    return pieces;
}

std::string EscapedText(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const std::string& piece : EscapedPieces(bytes)) text += piece;
    return text;
}

} // namespace vantrel::cli
