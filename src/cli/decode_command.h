#pragma once
// The whole vantrel-decode command, with its streams and services passed in:
// main() wires the real ones, tests their doubles.
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "batch/key_code_page.h"
#include "cli/key_input.h"
#include "platform/drive_kinds.h"
#include "platform/file_system.h"
#include "platform/folder_lister.h"

namespace vantrel::cli {

enum ExitStatus : int {
    AllDecoded = 0,
    SomeNotDecoded = 1, // rejected or failed, or the results could not be written
    CannotStart = 2,    // usage, key or drive error
    Interrupted = 130,
};

struct CommandStreams {
    int inFd; // standard input, for "--key-file -"
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false; // draw a progress bar
    int errColumns = 80;        // the terminal's width, for the progress bar
    bool errTakesEscapes = true; // false where TERM is "dumb" or unset
};

struct CommandServices {
    platform::FileSystem& files;
    const platform::DriveKinds& drives;
    // Asks the user for the key; empty when there is no terminal to ask on.
    std::function<KeyRead()> promptKey;
    // True once the user asked the command to end. While files decode it
    // is asked from their threads, one call at a time.
    std::function<bool()> interrupted = [] { return false; };
    // The key's code page where --key-encoding names none, and the character
    // set the key is read in; main() takes both from the locale.
    std::string keyCodePage = std::string(batch::DefaultKeyCodePage);
    std::string keyTextCharset = "UTF-8";
    // For -r.
    const platform::FolderLister& folders = platform::SystemFolderLister();
};

// args excludes the program name.
int RunDecodeCommand(std::span<const std::string> args, const CommandStreams& streams, const CommandServices& services);

} // namespace vantrel::cli
