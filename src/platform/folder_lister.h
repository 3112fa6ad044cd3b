#pragma once
// Reading the entries of one folder, behind an interface so that tests can
// make any folder unreadable. Paths are byte strings as the system takes them.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

enum class EntryKind {
    File,   // a regular file, also when reached through a symbolic link
    Folder, // a real folder; a symbolic link to a folder is Other, so walks never loop
    Other,  // anything else, including broken links
};

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

class FolderLister {
public:
    virtual ~FolderLister() = default;
    // The entries of the folder without "." and "..", in no particular
    // order; nothing when the folder cannot be read.
    virtual std::optional<std::vector<FolderEntry>> List(const std::string& folder) const = 0;
};

class PosixFolderLister final : public FolderLister {
public:
    PosixFolderLister() = default;
    // A folder of a million files takes a while to read: once stopped()
    // says so, a folder being read is given up (nothing), and so is every
    // later one.
    explicit PosixFolderLister(std::function<bool()> stopped) : stopped_(std::move(stopped)) {}

    std::optional<std::vector<FolderEntry>> List(const std::string& folder) const override;

private:
    std::function<bool()> stopped_;
};

// This machine's folders; the lister keeps no state, so one serves all.
const FolderLister& SystemFolderLister();

// Which folder a path leads to, however it is written (relative, with "..",
// through links): two paths lead to the same folder exactly when their
// identities are equal.
struct FolderIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// Nothing when the path leads to no folder that can be reached.
std::optional<FolderIdentity> IdentifyFolder(const std::string& path);

} // namespace vantrel::platform
