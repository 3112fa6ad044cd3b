#include "cli/key_input.h"

#include <istream>
#include <ostream>
#include <termios.h>

namespace vantrel::cli {

std::optional<std::string> ReadFirstLine(std::istream& in)
{
    std::string line;
    if (!std::getline(in, line) && line.empty()) return std::nullopt;
    return line;
}

std::optional<std::string> PromptWithoutEcho(int terminalFd, std::istream& in, std::ostream& prompt)
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
    std::optional<std::string> line = ReadFirstLine(in);
    if (canHide) ::tcsetattr(terminalFd, TCSAFLUSH, &saved);
    if (!line) prompt << '\n';
    return line;
}

} // namespace vantrel::cli
