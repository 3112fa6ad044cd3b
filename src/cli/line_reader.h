#pragma once
// Lines from a file, a pipe, a terminal or a device, one at a time: no line
// is kept past a limit, so that input without line ends (a huge file,
// /dev/zero) cannot fill the memory, and a wait for input ends when the
// user asks the command to end.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/interrupt_window.h"

namespace vantrel::cli {

class LineReader {
public:
    enum class Status {
        Line,        // the next line, without its separator
        End,         // no more input
        TooLong,     // the next line is longer than the limit
        HoldsNul,    // the next line has a NUL byte, which the reader was told to refuse
        Failed,      // Error() says why
        Interrupted, // interrupted() turned true while waiting
    };
    struct Rules {
        char separator = '\n';
        std::size_t longestLine = 0;
        bool refuseNul = false;
        bool skipEmpty = false; // Next() never gives an empty line
    };

    // Reads fd, which stays open. The interrupting signals are held back for
    // the reader's lifetime and let in only while it waits (InterruptWindow).
    LineReader(int fd, Rules rules, const std::function<bool()>& interrupted);
    // Opens path itself, without blocking in open(): a named pipe without a
    // writer yet is waited for in Next(), where a signal ends the wait.
    LineReader(const std::string& path, Rules rules, const std::function<bool()>& interrupted);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // After anything but Line or End, the input is not read further.
    Status Next(std::string& line);
    // The line that Next() gave last was followed by its separator.
    bool LineEnded() const { return lineEnded_; }
    // The number, from 1, of the line that Next() gave or refused last,
    // counting skipped empty ones.
    std::size_t LineNumber() const { return lineNumber_; }
    const std::string& Error() const { return error_; }

private:
    Status Fail(int code);
    // Waits for more input and reads it: nothing once some (or the end) is
    // in, otherwise why not.
    std::optional<Status> Fill();

    const InterruptWindow window_;
    int fd_;
    bool ownsFd_;
    int openError_ = 0;
    Rules rules_;
    std::function<bool()> interrupted_; // a copy: a lambda given here may be a temporary
    std::vector<char> buffer_;
    std::size_t start_ = 0;  // of the unread bytes in buffer_
    std::size_t filled_ = 0; // bytes in buffer_
    bool atEnd_ = false;
    bool lineEnded_ = false;
    std::size_t lineNumber_ = 0;
    std::string error_;
};

} // namespace vantrel::cli
