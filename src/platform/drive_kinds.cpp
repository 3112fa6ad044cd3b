#include "platform/drive_kinds.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

#include "platform/mount_table.h"

namespace vantrel::platform {
namespace {

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

std::optional<std::string> RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
    return std::string(resolved);
}

std::string ParentOf(const std::string& path)
{
    std::string parent = path;
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    const std::size_t slash = parent.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return parent.substr(0, slash);
}

bool FlagFileSaysOne(const std::string& path)
{
    const auto text = ReadWholeFile(path);
    return text && !text->empty() && text->front() == '1';
}

// The mount whose device holds the path's nearest existing ancestor; stat()
// takes relative paths at any depth of the working folder.
std::optional<MountEntry> MountOfDevice(const std::vector<MountEntry>& mounts, const std::string& path)
{
    std::string candidate = path.empty() ? "." : path;
    struct stat info {};
    while (::stat(candidate.c_str(), &info) != 0) {
        const std::string parent = ParentOf(candidate);
        if (parent == candidate) return std::nullopt;
        candidate = parent;
    }
    const unsigned major = ::major(info.st_dev);
    const unsigned minor = ::minor(info.st_dev);
    // The last one listed is on top when a device is mounted more than once.
    for (auto entry = mounts.rbegin(); entry != mounts.rend(); ++entry) {
        if (entry->major == major && entry->minor == minor) return *entry;
    }
    return std::nullopt;
}

// The desktop's network places (gvfs) live under /run/user/UID/gvfs,
// whatever file system type the mount shows.
bool IsDesktopNetworkFolder(std::string_view path)
{
    constexpr std::string_view runUser = "/run/user/";
    if (!path.starts_with(runUser)) return false;
    path.remove_prefix(runUser.size());
    const std::size_t digits = path.find_first_not_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos) return false;
    path.remove_prefix(digits);
    return path == "/gvfs" || path.starts_with("/gvfs/");
}

} // namespace

std::string ResolveNearestExisting(const std::string& path)
{
    std::string candidate = path.empty() ? "." : path;
    for (;;) {
        if (auto resolved = RealPath(candidate)) return *resolved;
        const std::string parent = ParentOf(candidate);
        if (parent == candidate) return candidate;
        candidate = parent;
    }
}

SystemDriveKinds::SystemDriveKinds(std::string mountInfoPath, std::string blockDevicesPath)
    : mountInfoPath_(std::move(mountInfoPath)), blockDevicesPath_(std::move(blockDevicesPath))
{
}

bool SystemDriveKinds::IsOnFixedDisk(const std::string& path) const
{
    // Read afresh for every question: a disk may be plugged in between runs.
    const auto table = ReadWholeFile(mountInfoPath_);
    if (!table) return false;
    const std::vector<MountEntry> mounts = ParseMountInfo(*table);
    const std::string resolved = ResolveNearestExisting(path);
    // A working folder deeper than PATH_MAX has no absolute path to look up;
    // its device still tells the mount.
    const auto mount = resolved.starts_with('/') ? MountHolding(mounts, resolved) : MountOfDevice(mounts, path);
    if (!mount) return false;
    if (IsNetworkFileSystem(mount->fsType) || IsOpticalFileSystem(mount->fsType)) return false;
    for (std::string_view place : {std::string_view(mount->mountPoint), std::string_view(resolved), std::string_view(path)})
        if (IsDesktopNetworkFolder(place)) return false;

    unsigned major = mount->major;
    unsigned minor = mount->minor;
    struct stat device {};
    // Some file systems (btrfs) show an anonymous device number; the block
    // device they were mounted from tells the real disk.
    if (major == 0 && mount->source.starts_with("/dev/") && ::stat(mount->source.c_str(), &device) == 0
        && S_ISBLK(device.st_mode)) {
        major = ::major(device.st_rdev);
        minor = ::minor(device.st_rdev);
    }
    return major == 0 || !IsRemovableDevice(major, minor);
}

bool SystemDriveKinds::IsRemovableDevice(unsigned major, unsigned minor) const
{
    const std::string device = blockDevicesPath_ + "/" + std::to_string(major) + ":" + std::to_string(minor);
    if (FlagFileSaysOne(device + "/removable")) return true;
    // A partition has no flag of its own; its disk is the parent folder.
    if (const auto resolved = RealPath(device)) return FlagFileSaysOne(ParentOf(*resolved) + "/removable");
    return false;
}

} // namespace vantrel::platform
