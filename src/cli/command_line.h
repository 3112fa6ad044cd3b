#pragma once
// The arguments of vantrel-decode.
#include <cstddef>
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

    // --files-from FILE ("-" for standard input), in the order given. Each
    // list's names go after the FILE arguments given before it.
    struct FileList {
        std::string name;
        std::size_t afterSources = 0;
    };
    std::vector<FileList> fileLists;
    bool nulSeparated = false; // -0: list names end with NUL, not a line end
    bool recursive = false;    // -r: a folder stands for the text files under it
    unsigned jobs = 1;         // -j N; 0 means one per processor
};

inline constexpr unsigned MaxJobs = 1024;

struct UsageError {
    std::string text;
};

// args excludes the program name.
std::variant<CommandOptions, UsageError> ParseCommandLine(std::span<const std::string> args);

std::string HelpText();
std::string VersionText();

} // namespace vantrel::cli
