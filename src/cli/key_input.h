#pragma once
// Getting the key without putting it on the command line: from a key file,
// standard input or the terminal. Only the first line counts, and it may
// have no more than KeyReadLimit bytes, so that a key file that never ends
// (a device, a huge file) cannot hold the command up.
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>

namespace vantrel::cli {

inline constexpr std::size_t KeyReadLimit = 4096;

struct KeyRead {
    enum class Status {
        Read,        // line holds the first line (possibly empty)
        TooLong,     // the first line does not end within KeyReadLimit bytes
        Failed,      // error says why
        Interrupted, // interrupted() turned true while waiting
    };
    Status status = Status::Read;
    std::string line;
    std::string error;
    bool lineEnded = false; // a line end followed the line
};

// The first line of fd, without its line end and without a UTF-8 byte order
// mark at its start. While it waits for input,
// a signal ends the wait when interrupted() then says so; the signals that
// interrupt (SIGINT, SIGTERM, SIGHUP) are only let in while waiting, so
// none can slip in between the test and the wait.
KeyRead ReadKeyLine(int fd, const std::function<bool()>& interrupted);

// Opens path (nothing blocks on a named pipe without a writer) and reads
// its first line as above.
KeyRead ReadKeyFile(const std::string& path, const std::function<bool()>& interrupted);

// Asks on prompt and reads one line from the terminal on terminalFd with
// echo off; the terminal's settings are restored before returning. When
// interrupted, or at the end of input, the prompt's line is ended.
KeyRead PromptWithoutEcho(int terminalFd, std::ostream& prompt, const std::function<bool()>& interrupted);

} // namespace vantrel::cli
