#pragma once
// File names and reasons as vantrel-decode prints them. A name may hold any
// byte but "/" and NUL; printed raw, a tab or line end would break the
// tab-separated result lines and a control byte could drive the terminal.
// The escaping is reversible: "\\" for a backslash, "\t" and "\n", and
// "\xHH" (two lower-case hex digits) for every other control byte, C1
// control and byte that is not part of valid UTF-8. Everything else is
// printed as it is.
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::cli {

std::string EscapedText(std::string_view bytes);

// The escaped text in pieces that must not be split: one escape, or one
// character as it is printed.
std::vector<std::string> EscapedPieces(std::string_view bytes);

} // namespace vantrel::cli
