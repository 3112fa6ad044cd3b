#pragma once
// Messages on standard error. Every line of them starts with the command's
// name, so that in a script's log it is plain which tool said what.
#include <iosfwd>
#include <string_view>

namespace vantrel::cli {

inline constexpr std::string_view CommandName = "vantrel-decode";

// text may hold several lines; each gets the name. Flushed at once, since a
// progress bar may be drawn on the same stream right after.
void PrintMessage(std::ostream& err, std::string_view text);

// A message about one file: "vantrel-decode: FILE: text", the name escaped.
void PrintFileMessage(std::ostream& err, std::string_view file, std::string_view text);

} // namespace vantrel::cli
