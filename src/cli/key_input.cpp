#include "cli/key_input.h"

#include <ostream>
#include <string_view>
#include <termios.h>

#include "cli/line_reader.h"

namespace vantrel::cli {
namespace {

// Windows editors (Notepad among them) start UTF-8 text with a byte order
// mark; it is no part of the key, nor of its length.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

KeyRead FirstLine(LineReader& reader)
{
    std::string line;
    switch (reader.Next(line)) {
    case LineReader::Status::Line:
    case LineReader::Status::End: break;
    case LineReader::Status::HoldsNul: // never: a key's NUL bytes are not refused here
    case LineReader::Status::TooLong: return {KeyRead::Status::TooLong, {}, {}};
    case LineReader::Status::Failed: return {KeyRead::Status::Failed, {}, reader.Error()};
    case LineReader::Status::Interrupted: return {KeyRead::Status::Interrupted, {}, {}};
    }
    if (line.starts_with(ByteOrderMark)) line.erase(0, ByteOrderMark.size());
    if (line.size() > KeyReadLimit) return {KeyRead::Status::TooLong, {}, {}};
    return {KeyRead::Status::Read, std::move(line), {}, reader.LineEnded()};
}

constexpr LineReader::Rules KeyLine{'\n', KeyReadLimit + ByteOrderMark.size(), false, false};

} // namespace

KeyRead ReadKeyLine(int fd, const std::function<bool()>& interrupted)
{
    LineReader reader(fd, KeyLine, interrupted);
    return FirstLine(reader);
}

KeyRead ReadKeyFile(const std::string& path, const std::function<bool()>& interrupted)
{
    LineReader reader(path, KeyLine, interrupted);
    return FirstLine(reader);
}

KeyRead PromptWithoutEcho(int terminalFd, std::ostream& prompt, const std::function<bool()>& interrupted)
{
    prompt << "Decoding key: " << std::flush;
    termios saved {};
    const bool canHide = ::tcgetattr(terminalFd, &saved) == 0;
    if (canHide) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(terminalFd, TCSAFLUSH, &quiet);
    }
    KeyRead read = ReadKeyLine(terminalFd, interrupted);
    if (canHide) ::tcsetattr(terminalFd, TCSAFLUSH, &saved);
    // A typed line end has moved to the next line already (ECHONL).
    if (!read.lineEnded) prompt << '\n' << std::flush;
    return read;
}

} // namespace vantrel::cli
