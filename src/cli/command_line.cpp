#include "cli/command_line.h"

#include <algorithm>
#include <charconv>

namespace vantrel::cli {
namespace {

std::optional<unsigned> JobCount(const std::optional<std::string>& text)
{
    unsigned count = 0;
    if (!text || text->empty()) return std::nullopt;
    const char* end = text->data() + text->size();
    const auto parsed = std::from_chars(text->data(), end, count);
    if (parsed.ec != std::errc{} || parsed.ptr != end || count > MaxJobs) return std::nullopt;
    return count;
}

UsageError JobsNeedANumber(const std::string& option)
{
    return {option + " needs a number from 0 to " + std::to_string(MaxJobs)};
}

} // namespace

std::variant<CommandOptions, UsageError> ParseCommandLine(std::span<const std::string> args)
{
    CommandOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto nextValue = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.sources.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--no-check") {
            options.keyCheck = false;
        } else if (arg == "-o" || arg == "--output") {
            options.outputFolder = nextValue();
            // An empty folder would put the outputs at the root of the file system.
            if (!options.outputFolder || options.outputFolder->empty()) return UsageError{arg + " needs a folder"};
        } else if (arg.starts_with("--output=")) {
            options.outputFolder = arg.substr(9);
            if (options.outputFolder->empty()) return UsageError{"--output needs a folder"};
        } else if (arg == "--key-file") {
            options.keyFile = nextValue();
            if (!options.keyFile) return UsageError{"--key-file needs a file name or -"};
        } else if (arg.starts_with("--key-file=")) {
            options.keyFile = arg.substr(11);
        } else if (arg == "--key-encoding") {
            options.keyEncoding = nextValue();
            // An empty name would be the locale's own character set to iconv.
            if (!options.keyEncoding || options.keyEncoding->empty()) return UsageError{"--key-encoding needs an encoding name"};
        } else if (arg.starts_with("--key-encoding=")) {
            options.keyEncoding = arg.substr(15);
            if (options.keyEncoding->empty()) return UsageError{"--key-encoding needs an encoding name"};
        } else if (arg == "-k") {
            options.key = nextValue();
            if (!options.key) return UsageError{"-k needs a key"};
        } else if (arg == "--files-from" || arg.starts_with("--files-from=")) {
            const std::optional<std::string> list = arg == "--files-from" ? nextValue() : arg.substr(13);
            if (!list || list->empty()) return UsageError{"--files-from needs a file name or -"};
            options.fileLists.push_back({*list, options.sources.size()});
        } else if (arg == "-0" || arg == "--null") {
            options.nulSeparated = true;
        } else if (arg == "-r" || arg == "--recursive") {
            options.recursive = true;
        } else if (arg == "-j" || arg == "--jobs") {
            const auto count = JobCount(nextValue());
            if (!count) return JobsNeedANumber(arg);
            options.jobs = *count;
        } else if (arg.starts_with("--jobs=") || (arg.starts_with("-j") && !arg.starts_with("--"))) {
            const bool longForm = arg.starts_with("--");
            const auto count = JobCount(arg.substr(longForm ? 7 : 2));
            if (!count) return JobsNeedANumber(longForm ? "--jobs" : "-j");
            options.jobs = *count;
        } else {
            return UsageError{"unknown option " + arg};
        }
    }
    if (options.help || options.version) return options;
    if (options.key && options.keyFile) return UsageError{"give the key either with --key-file or with -k"};
    const bool listOnInput = std::ranges::any_of(options.fileLists, [](const auto& list) { return list.name == "-"; });
    if (listOnInput && options.keyFile == "-")
        return UsageError{"standard input cannot give both the key and the file list; give the key with --key-file FILE"};
    if (options.nulSeparated && options.fileLists.empty()) return UsageError{"-0 is for the names of a --files-from list"};
    if (options.sources.empty() && options.fileLists.empty()) return UsageError{"no files to decode"};
    return options;
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
  --version         show the version

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
    return "vantrel-decode " VANTREL_VERSION "\n";
}

} // namespace vantrel::cli
