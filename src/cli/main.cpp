// vantrel-decode: decodes text files with enciphered regions from the
// command line; see HelpText() for the interface.
#include <csignal>
#include <iostream>
#include <unistd.h>

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
// stopped instead, and its output deleted.
void CatchInterrupts()
{
    struct sigaction action {};
    action.sa_handler = RequestInterrupt;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    CatchInterrupts();
    const std::vector<std::string> args(argv + 1, argv + argc);

    vantrel::platform::PosixFileSystem files;
    const vantrel::platform::SystemDriveKinds drives;
    const vantrel::cli::CommandStreams streams{std::cin, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    vantrel::cli::CommandServices services{files, drives, {}, [] { return interruptRequested != 0; }};
    if (::isatty(STDIN_FILENO) == 1) {
        services.promptKey = [] { return vantrel::cli::PromptWithoutEcho(STDIN_FILENO, std::cin, std::cerr); };
    }
    const int status = vantrel::cli::RunDecodeCommand(args, streams, services);
    if (interruptRequested != 0) return vantrel::cli::Interrupted;
    return status;
}
