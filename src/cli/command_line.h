#pragma once
// The arguments of vantrel-decode.
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vantrel::cli {

struct CommandOptions {
    bool keyCheck = true;
    std::optional<std::string> outputFolder; // -o DIR
    std::optional<std::string> keyFile;      // --key-file FILE, "-" for standard input
    std::optional<std::string> key;          // -k KEY, for tests and scripts only
    std::optional<std::string> keyEncoding;  // --key-encoding NAME: the key's code page
    bool help = false;
    bool version = false;
    std::vector<std::string> sources;
};

struct UsageError {
    std::string text;
};

// args excludes the program name.
std::variant<CommandOptions, UsageError> ParseCommandLine(std::span<const std::string> args);

std::string HelpText();
std::string VersionText();

} // namespace vantrel::cli
