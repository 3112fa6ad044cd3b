#pragma once
// Getting the key without putting it on the command line.
#include <iosfwd>
#include <optional>
#include <string>

namespace vantrel::cli {

// The first line, without its line end; nothing when there is no line at all.
std::optional<std::string> ReadFirstLine(std::istream& in);

// Asks on prompt and reads one line from the terminal on terminalFd (through
// in) with echo off; the terminal's settings are restored before returning.
std::optional<std::string> PromptWithoutEcho(int terminalFd, std::istream& in, std::ostream& prompt);

} // namespace vantrel::cli
