#pragma once
// File names and reasons as vantrel-decode prints them. A name may hold any
// byte but "/" and NUL; printed raw, a tab or line end would break the
// tab-separated result lines, a control byte could drive the terminal, and
// an invisible format character (U+202E turns the text after it around)
// could make one name look like another. The escaping is reversible: "\\"
// for a backslash, "\t" and "\n", and "\xHH" (two lower-case hex digits) for
// each byte of every other control character, C1 control and Unicode format
// character (category Cf), and of what is not valid UTF-8. Everything else
// is printed as it is.
#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::cli {

std::string EscapedText(std::string_view bytes);
void AppendEscapedText(std::string& text, std::string_view bytes);

// Appends the first piece of the escaped text of bytes (not empty) to text:
// one character as it is printed, or one escape, which must not be split.
// Returns how many bytes of bytes it stands for.
std::size_t AppendEscapedPiece(std::string& text, std::string_view bytes);

} // namespace vantrel::cli
