#include "cli/key_input.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <ostream>
#include <string_view>
#include <termios.h>
#include <unistd.h>

#include "cli/interrupt_window.h"
#include "platform/file_system.h"

namespace vantrel::cli {
namespace {

KeyRead Failure(int code)
{
    return {KeyRead::Status::Failed, {}, platform::SystemErrorText(code)};
}

// Windows editors (Notepad among them) start UTF-8 text with a byte order
// mark; it is no part of the key.
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

KeyRead ReadKeyLine(int fd, const std::function<bool()>& interrupted)
{
    if (fd < 0) return Failure(EBADF); // poll() would wait on it for ever
    const InterruptWindow window;
    std::string bytes;
    bool markLookedFor = false;
    char buffer[KeyReadLimit];
    for (;;) {
        if (interrupted()) return {KeyRead::Status::Interrupted, {}, {}};
        if (window.Wait(fd) < 0) {
            if (errno == EINTR) continue;
            return Failure(errno);
        }
        // One byte past the limit tells a line of exactly the limit at the
        // end of the input from a longer one.
        const std::size_t wanted = std::min(sizeof buffer, KeyReadLimit + 1 - bytes.size());
        const ssize_t got = ::read(fd, buffer, wanted);
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return Failure(errno);
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (!markLookedFor && (bytes.size() >= ByteOrderMark.size() || got == 0 || bytes.find('\n') != std::string::npos)) {
            if (bytes.starts_with(ByteOrderMark)) bytes.erase(0, ByteOrderMark.size());
            markLookedFor = true;
        }
        if (const std::size_t end = bytes.find('\n'); end != std::string::npos && end <= KeyReadLimit)
            return {KeyRead::Status::Read, bytes.substr(0, end), {}, true};
        if (bytes.size() > KeyReadLimit) return {KeyRead::Status::TooLong, {}, {}};
        if (got == 0) return {KeyRead::Status::Read, std::move(bytes), {}};
    }
}

KeyRead ReadKeyFile(const std::string& path, const std::function<bool()>& interrupted)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return Failure(errno);
    KeyRead read = ReadKeyLine(fd, interrupted);
    ::close(fd);
    return read;
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
