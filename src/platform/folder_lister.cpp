#include "platform/folder_lister.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace vantrel::platform {
namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

EntryKind KindOf(int folderFd, const dirent& entry)
{
    // The entry's own type saves a stat call per file on most file systems.
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat info {};
    if (::fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    if (S_ISREG(info.st_mode))
        return EntryKind::File;
    if (!S_ISLNK(info.st_mode) || ::fstatat(folderFd, entry.d_name, &info, 0) != 0)
        return EntryKind::Other;
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

} // namespace

std::optional<std::vector<FolderEntry>> PosixFolderLister::List(const std::string& folder) const
{
    const std::unique_ptr<DIR, FolderCloser> handle(::opendir(folder.c_str()));
    if (!handle)
        return std::nullopt;
    std::vector<FolderEntry> entries;
    if (stopped_ && stopped_())
        return std::nullopt;
    while (const dirent* entry = ::readdir(handle.get())) {
        if (stopped_ && entries.size() % 4096 == 4095 && stopped_())
            return std::nullopt;
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        entries.push_back({name, KindOf(::dirfd(handle.get()), *entry)});
    }
    return entries;
}

const FolderLister& SystemFolderLister()
{
    static const PosixFolderLister folders;
    return folders;
}

std::optional<FolderIdentity> IdentifyFolder(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace vantrel::platform
