// vantrel-decode: decodes text files with enciphered regions from the
// command line; see HelpText() for the interface.
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iostream>
#include <malloc.h>
#include <string_view>
#include <sys/ioctl.h>
#include <unistd.h>

#include "batch/key_code_page.h"
#include "cli/decode_command.h"
#include "cli/interrupt_window.h"
#include "cli/key_input.h"
#include "platform/drive_kinds.h"
#include "platform/folder_lister.h"
#include "platform/posix_file_system.h"

namespace {

// A reader that went away (| head) would otherwise end the command in the
// middle of a file; its writes fail instead, and the command says so, as for
// any standard output that cannot take the results.
void IgnoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
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

// Each job keeps its decode buffers from file to file, but a file with long
// key-check fields still holds texts of up to a few MiB and gives them back
// when it is done. Left to adjust itself, the allocator would map such blocks
// afresh for each file and have the kernel clear them; kept in the heap,
// they are reused. The peak stays the same.
void KeepFileBuffersForReuse()
{
    constexpr int LargestBuffer = 4 << 20;
    ::mallopt(M_MMAP_THRESHOLD, LargestBuffer);
    ::mallopt(M_TRIM_THRESHOLD, 2 * LargestBuffer);
}

int TerminalColumns(int fd)
{
    winsize size {};
    return ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// An editor's shell buffer or a serial console says "dumb" and shows escape
// sequences as they are; without TERM nothing is known of the terminal.
bool TerminalTakesEscapes()
{
    const char* term = std::getenv("TERM");
    return term && *term && std::string_view(term) != "dumb";
}

} // namespace

int main(int argc, char** argv)
{
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) TakeIfClosed(fd);
    KeepFileBuffersForReuse();
    // Ending at once would leave partial outputs behind; the files being
    // decoded are stopped instead, and their outputs dropped.
    vantrel::cli::CatchInterrupts();
    IgnoreBrokenPipes();
    // Only the character set and language of the key come from the locale:
    // the result lines' reasons stay in the words scripts look for.
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> args(argv + 1, argv + argc);

    vantrel::platform::PosixFileSystem files;
    const vantrel::platform::SystemDriveKinds drives;
    const bool errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    const vantrel::cli::CommandStreams streams{STDIN_FILENO, std::cout, std::cerr, errIsTerminal,
                                               errIsTerminal ? TerminalColumns(STDERR_FILENO) : 80,
                                               TerminalTakesEscapes()};
    const auto interrupted = [] { return vantrel::cli::InterruptRequested(); };
    const vantrel::platform::PosixFolderLister folders(interrupted);
    vantrel::cli::CommandServices services{files,
                                           drives,
                                           {},
                                           interrupted,
                                           vantrel::batch::LocaleKeyCodePage(),
                                           vantrel::batch::LocaleKeyTextCharset(),
                                           folders};
    if (::isatty(STDIN_FILENO) == 1) {
        services.promptKey = [interrupted] { return vantrel::cli::PromptWithoutEcho(STDIN_FILENO, std::cerr, interrupted); };
    }
    const int status = vantrel::cli::RunDecodeCommand(args, streams, services);
    if (vantrel::cli::InterruptRequested()) return vantrel::cli::Interrupted;
    return status;
}
