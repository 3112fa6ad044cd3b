// vantrel-decode: decodes text files with enciphered regions from the
// command line; see HelpText() for the interface.
#include <cerrno>
#include <clocale>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

#include "batch/key_code_page.h"
#include "cli/decode_command.h"
#include "cli/key_input.h"
#include "platform/drive_kinds.h"
#include "platform/posix_file_system.h"

namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void RequestInterrupt(int)
{
    interruptRequested = 1;
}

// Ending at once would leave a partial output behind; the current file is
// stopped instead, and its output deleted. No SA_RESTART: a wait for the
// key must end too.
void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = RequestInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// A standard descriptor that was closed when the command started would be
// handed out by the next open(): the result lines would then go into an
// output file. Each closed one is taken by /dev/null opened the other way
// round, so that using it still fails as on a closed one (EBADF).
void TakeIfClosed(int fd)
{
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
    const int null = ::open("/dev/null", (fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) | O_CLOEXEC);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
}

} // namespace

int main(int argc, char** argv)
{
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) TakeIfClosed(fd);
    CatchInterrupts();
    // Only the character set and language of the key come from the locale:
    // the result lines' reasons stay in the words scripts look for.
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> args(argv + 1, argv + argc);

    vantrel::platform::PosixFileSystem files;
    const vantrel::platform::SystemDriveKinds drives;
    const vantrel::cli::CommandStreams streams{STDIN_FILENO, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    const auto interrupted = [] { return interruptRequested != 0; };
    vantrel::cli::CommandServices services{files, drives, {}, interrupted};
    services.keyCodePage = vantrel::batch::LocaleKeyCodePage();
    services.keyTextCharset = vantrel::batch::LocaleKeyTextCharset();
    if (::isatty(STDIN_FILENO) == 1) {
        services.promptKey = [interrupted] { return vantrel::cli::PromptWithoutEcho(STDIN_FILENO, std::cerr, interrupted); };
    }
    const int status = vantrel::cli::RunDecodeCommand(args, streams, services);
    if (interruptRequested != 0) return vantrel::cli::Interrupted;
    return status;
}
