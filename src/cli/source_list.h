#pragma once
// The files a command decodes: the FILE arguments, the names read from
// --files-from lists, and with -r the text files under the folders among
// them.
#include <climits>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/folder_lister.h"

namespace vantrel::cli {

// No path the system takes is longer; reading stops at a name that is, so
// that a list without separators cannot fill the memory.
inline constexpr std::size_t LongestListedName = PATH_MAX;

struct ListRead {
    enum class Status {
        Read,
        HoldsNul,    // a line-separated list with a NUL byte: no name can hold one
        NameTooLong, // name number `entry` is longer than LongestListedName
        Failed,      // error says why
        Interrupted, // interrupted() turned true while waiting
    };
    Status status = Status::Read;
    std::vector<std::string> names; // empty entries are left out
    std::string error;
    std::size_t entry = 0; // from 1, counting empty ones: the line of a line-separated list
};

// Every name in fd up to its end, each ending with separator (or with the
// end of the input). A signal ends a wait for input when interrupted() then
// says so.
ListRead ReadNameList(int fd, char separator, const std::function<bool()>& interrupted);

// The same from the file at path, which may be a named pipe.
ListRead ReadNameListFile(const std::string& path, char separator, const std::function<bool()>& interrupted);

struct ExpandedSources {
    std::vector<std::string> files;
    // Folders under the given ones that could not be read; their files are
    // missing from `files`.
    std::vector<std::string> unreadableFolders;
    bool interrupted = false; // the walk was cut short: `files` is incomplete
};

// Each name in place, except that a folder is replaced by the text files
// under it (FindTextFiles, leaving out outputFolder and the "Decript"
// folders below it), which is how the window takes a dropped folder.
ExpandedSources ExpandFolders(std::vector<std::string> names, const platform::FileSystem& files,
                              const platform::FolderLister& folders, const std::optional<std::string>& outputFolder,
                              const std::function<bool()>& interrupted);

} // namespace vantrel::cli
