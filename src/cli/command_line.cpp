#include "cli/command_line.h"

#include <algorithm>
#include <charconv>
#include <getopt.h>
#include <iterator>
#include <string_view>

#include "cli/escaped_text.h"

namespace vantrel::cli {
namespace {

// Codes for the options without a one-letter form, past every character.
enum LongOnly : int { NoCheck = 256, KeyFile, KeyEncoding, FilesFrom, Version };

// One table for both forms of every option, so that getopt's short-option
// string and its long-option list cannot drift apart. needs: what a missing
// or empty value lacks, for the message; empty for options without a value.
struct OptionSpec {
    int code;
    const char* longName; // null: short only
    std::string_view needs;
};
constexpr OptionSpec Options[] = {
    {'h', "help", {}},
    {Version, "version", {}},
    {NoCheck, "no-check", {}},
    {'o', "output", "a folder"},
    {KeyFile, "key-file", "a file name or -"},
    {KeyEncoding, "key-encoding", "an encoding name"},
    {'k', nullptr, "a key"},
    {FilesFrom, "files-from", "a file name or -"},
    {'0', "null", {}},
    {'r', "recursive", {}},
    {'j', "jobs", "a number from 0 to 1024"},
};
static_assert(MaxJobs == 1024, "the -j message names the limit");

const OptionSpec* SpecFor(int code)
{
    const auto found = std::ranges::find(Options, code, &OptionSpec::code);
    return found == std::end(Options) ? nullptr : found;
}

// "-" first: arguments that are no options come back in their place among
// the options (code 1), which --files-from needs; it also makes getopt
// ignore POSIXLY_CORRECT. ":" next: a missing value is told apart (':'),
// and getopt prints nothing itself.
std::string ShortOptions()
{
    std::string text = "-:";
    for (const OptionSpec& option : Options) {
        if (option.code >= 256) continue;
        text += static_cast<char>(option.code);
        if (!option.needs.empty()) text += ':';
    }
    return text;
}

std::vector<option> LongOptions()
{
    std::vector<option> list;
    for (const OptionSpec& entry : Options) {
        if (entry.longName) list.push_back({entry.longName, entry.needs.empty() ? no_argument : required_argument, nullptr, entry.code});
    }
    list.push_back({nullptr, 0, nullptr, 0});
    return list;
}

// The option as the user wrote it: its long name for any abbreviation of
// it, else its letter.
std::string Written(const OptionSpec& entry, bool longForm)
{
    if (longForm && entry.longName) return std::string("--") + entry.longName;
    return std::string("-") + static_cast<char>(entry.code);
}

UsageError NeedsValue(const OptionSpec& entry, bool longForm)
{
    return {Written(entry, longForm) + " needs " + std::string(entry.needs)};
}

// Why getopt refused a long option: unknown, or the start of several.
UsageError RefusedLongOption(std::string_view argument)
{
    const std::string_view name = argument.substr(2, argument.find('=') - 2);
    std::string candidates;
    int matches = 0;
    for (const OptionSpec& entry : Options) {
        if (!entry.longName || !std::string_view(entry.longName).starts_with(name)) continue;
        candidates += std::string(matches++ > 0 ? ", --" : "--") + entry.longName;
    }
    const std::string written = EscapedText(argument.substr(0, argument.find('=')));
    if (!name.empty() && matches > 1) return {"option " + written + " is ambiguous; it may be " + candidates};
    return {"unknown option " + written};
}

std::optional<unsigned> JobCount(std::string_view text)
{
    unsigned count = 0;
    if (text.empty()) return std::nullopt;
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, count);
    if (parsed.ec != std::errc{} || parsed.ptr != end || count > MaxJobs) return std::nullopt;
    return count;
}

// Takes the value of an option that has one; false when it is unusable.
bool TakeValue(CommandOptions& options, int code, const std::string& value)
{
    switch (code) {
    // An empty folder would put the outputs at the root of the file system.
    case 'o': options.outputFolder = value; return !value.empty();
    case KeyFile: options.keyFile = value; return true;
    // An empty name would be the locale's own character set to iconv.
    case KeyEncoding: options.keyEncoding = value; return !value.empty();
    case 'k': options.key = value; return true;
    case FilesFrom:
        options.fileLists.push_back({value, options.sources.size()});
        return !value.empty();
    case 'j': {
        const auto count = JobCount(value);
        if (count) options.jobs = *count;
        return count.has_value();
    }
    }
    return false;
}

void TakeSwitch(CommandOptions& options, int code)
{
    switch (code) {
    case 'h': options.help = true; break;
    case Version: options.version = true; break;
    case NoCheck: options.keyCheck = false; break;
    case '0': options.nulSeparated = true; break;
    case 'r': options.recursive = true; break;
    }
}

// getopt_long keeps its place in globals: the command line is parsed once,
// on the main thread, before any other thread starts.
std::variant<CommandOptions, UsageError> ParseOptions(std::span<const std::string> args)
{
    std::vector<std::string> copies{"vantrel-decode"};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& copy : copies) argv.push_back(copy.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(copies.size());
    const std::string shortOptions = ShortOptions();
    const std::vector<option> longOptions = LongOptions();

    CommandOptions options;
    optind = 0; // starts afresh, whatever an earlier parse left behind
    opterr = 0;
    for (;;) {
        int longIndex = -1; // set only when a long option was taken
        const int code = getopt_long(argc, argv.data(), shortOptions.c_str(), longOptions.data(), &longIndex);
        if (code == -1) break;
        if (code == 1) {
            options.sources.emplace_back(optarg);
            continue;
        }
        // In both errors that end an argument, a refused long option and a
        // value missing at the end, getopt has just stepped past it.
        const std::string_view last = argv[optind - 1];
        if (code == '?') {
            if (const OptionSpec* entry = optopt != 0 ? SpecFor(optopt) : nullptr)
                return UsageError{Written(*entry, true) + " takes no value"};
            if (optopt != 0) return UsageError{"unknown option " + EscapedText(std::string{'-', static_cast<char>(optopt)})};
            return RefusedLongOption(last);
        }
        // getopt gives back only the codes it was given; checked all the
        // same, as an unknown one must not be taken for an option.
        const OptionSpec* known = SpecFor(code == ':' ? optopt : code);
        if (known == nullptr) return UsageError{"unknown option " + EscapedText(last)};
        if (code == ':') return NeedsValue(*known, last.starts_with("--"));
        const OptionSpec& entry = *known;
        if (entry.needs.empty()) {
            TakeSwitch(options, code);
        } else if (!TakeValue(options, code, optarg)) {
            return NeedsValue(entry, longIndex >= 0);
        }
    }
    // Everything after "--" is a file.
    options.sources.insert(options.sources.end(), args.begin() + (optind - 1), args.end());
    return options;
}

} // namespace

std::variant<CommandOptions, UsageError> ParseCommandLine(std::span<const std::string> args)
{
    auto parsed = ParseOptions(args);
    if (std::holds_alternative<UsageError>(parsed)) return parsed;
    const CommandOptions& options = std::get<CommandOptions>(parsed);
    if (options.help || options.version) return parsed;
    if (options.key && options.keyFile) return UsageError{"give the key either with --key-file or with -k"};
    const bool listOnInput = std::ranges::any_of(options.fileLists, [](const auto& list) { return list.name == "-"; });
    if (listOnInput && options.keyFile == "-")
        return UsageError{"standard input cannot give both the key and the file list; give the key with --key-file FILE"};
    if (options.nulSeparated && options.fileLists.empty()) return UsageError{"-0 is for the names of a --files-from list"};
    if (options.sources.empty() && options.fileLists.empty()) return UsageError{"no files to decode"};
    return parsed;
}

std::string HelpText()
{
    return R"(Usage: vantrel-decode [--no-check] [-o DIR] [--key-file FILE|-] FILE...
  or:  vantrel-decode [OPTION]... [-0] --files-from FILE|- [FILE...]

Decodes text files with enciphered regions into new files. Each FILE gives
NAME-dec.txt (or NAME-dec(1).txt, NAME-dec(2).txt, ... when that name is
taken) in a "Decript" folder beside it, or in DIR. Existing files are never
overwritten; a file that fails leaves no output behind.

  --no-check        do not test the key against the files' check fields
  -o, --output DIR  write every output into DIR (used as it is, not created);
                    without it every FILE must lie on a fixed local disk
  --key-file FILE   read the key from the first line of FILE; "-" reads it
                    from standard input
  --key-encoding NAME
                    the key's code page, any single-byte encoding that iconv
                    knows (such as CP1251) or CP932, CP936, CP949, CP950;
                    without it the locale's language chooses, see below
  -k KEY            the key itself, for tests and scripts only: other users
                    of this machine can read command lines
  --files-from FILE
                    decode the files named in FILE too, one name a line
                    (blank lines are skipped); "-" reads the names from
                    standard input
  -0, --null        the names in a --files-from list each end with a NUL
                    byte instead of a line end, as find -print0 writes them
  -r, --recursive   a FILE that is a folder stands for every *.txt file in
                    it and in its folders, at all levels, in path order,
                    except those in "Decript" folders below it and in DIR
  -j, --jobs N      decode up to N files at once (default 1; 0 for one per
                    processor)
  -h, --help        show this text
  --version         show the version and the licence

Short options combine (-r0) and take their value attached (-oDIR, -j2); a
long option may be shortened to any start that names no other (--key-f),
and takes its value after "=" too (--output=DIR); "--" ends the options.

Without --key-file or -k the key is asked for on the terminal, without echo.
It is text in the locale's character set (UTF-8 under the C locale), taken
as its bytes in a Windows code page: the one of the locale's language
(CP1251 for Russian and the other Cyrillic ones; CP1250 for Polish, Czech
and the other Central European ones; CP1253 Greek; CP1254 Turkish; CP1255
Hebrew; CP1256 Arabic, Persian, Urdu; CP1257 Baltic; CP1258 Vietnamese;
CP874 Thai; CP932 Japanese; CP936 Chinese, CP950 as written in Taiwan and
Hong Kong; CP949 Korean; CP1252 for all others; see vantrel-decode(1)), or
the one --key-encoding names. A key with a character that the code page
cannot hold is refused. Without surrounding blanks the key must hold at
least 10 of those bytes (a Japanese, Chinese or Korean character is mostly
two); only the first line of a key file or standard input counts, and it
may hold at most 4096 bytes.
The key and a --files-from list cannot both come from standard input.

Files are taken in the order the FILE arguments and --files-from lists stand
on the command line. Without -r a folder is not decoded ("Cannot open: Is a
directory"). With -r, *.txt matches in any letter case; hidden files and
folders, links to folders, and the outputs of earlier runs (in "Decript"
folders below the named folder, or in DIR) are left out; a "Decript"
folder named itself is walked.

Standard output gets one line per file, in that order, as soon as the file
and all before it are done: three fields separated by tabs,
  FILE  RESULT  OUTPUT
RESULT is one of "Decoded", "Rejected" (the key check proved the key
wrong), "Cannot open", "Read error", "Write error", "Decode error" (anything
else that went wrong, such as memory running out), "Stopped" (interrupted)
or "Not decoded" (not reached after an interruption). A failure is followed
by ": " and the reason, e.g. "Cannot open: Permission denied" or
"Write error: No space left on device". OUTPUT is the decoded file's path,
empty unless RESULT is "Decoded". With -j, which of two files of the same
name gets NAME-dec.txt and which NAME-dec(1).txt follows the order in which
they finish.

Messages go to standard error. So does a progress bar when standard error is
a terminal (the first file still being decoded, then the files done of all
and the bytes done of all), and, unless there was exactly one file, a last
line "vantrel-decode: N files: D decoded, R rejected, F failed", with
", S not decoded" added after an interruption.

Names and reasons are printed escaped, in these lines and in the progress
bar: a backslash as "\\", a tab as "\t", a line end as "\n", and each byte
of any other control character, of an invisible format character (Unicode
category Cf, such as U+202E, which shows the text after it backwards), or of
what is not valid UTF-8, as "\xHH" (two lower-case hex digits).
A decoded file appears under its name only when it is complete.

Exit status: 0 when every file was decoded, 1 when any was rejected or
failed, a folder could not be read or the result lines could not be
written, 2 for a usage, key, file list or drive error (nothing decoded),
130 when interrupted (the files being decoded leave no output).
)";
}

std::string VersionText()
{
    return "vantrel-decode " VANTREL_VERSION "\n" VANTREL_COPYRIGHT "\n"
           "License: MIT <https://opensource.org/license/mit>\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

} // namespace vantrel::cli
