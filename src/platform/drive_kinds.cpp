#include "platform/drive_kinds.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unordered_map>
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

// The device of the path's nearest existing ancestor; stat() takes relative
// paths at any depth of the working folder.
std::optional<dev_t> DeviceOf(const std::string& path)
{
    std::string candidate = path.empty() ? "." : path;
    struct stat info {};
    while (::stat(candidate.c_str(), &info) != 0) {
        const std::string parent = ParentOf(candidate);
        if (parent == candidate) return std::nullopt;
        candidate = parent;
    }
    return info.st_dev;
}

const MountEntry* MountOfDevice(const std::vector<MountEntry>& mounts, dev_t device)
{
    // The last one listed is on top when a device is mounted more than once.
    for (auto entry = mounts.rbegin(); entry != mounts.rend(); ++entry) {
        if (entry->major == ::major(device) && entry->minor == ::minor(device)) return &*entry;
    }
    return nullptr;
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

// One look at the mount table; each mount's verdict and each folder's real
// path worked out once, so that a run of thousands of sources in a few
// folders costs about one system call per source.
class SystemDriveSnapshot final : public DriveSnapshot {
public:
    SystemDriveSnapshot(std::optional<std::vector<MountEntry>> mounts, std::string blockDevicesPath)
        : mounts_(std::move(mounts)), blockDevicesPath_(std::move(blockDevicesPath))
    {
    }

    bool IsOnFixedDisk(const std::string& path) override;

private:
    std::string Resolve(const std::string& path);
    const std::string& ResolvedFolder(const std::string& folder);
    bool IsFixed(const MountEntry& mount);
    bool IsFixedDevice(unsigned major, unsigned minor) const;
    bool IsRemovableDevice(unsigned major, unsigned minor) const;

    std::optional<std::vector<MountEntry>> mounts_; // nothing: the table could not be read
    std::string blockDevicesPath_;
    std::unordered_map<std::string, std::string> resolvedFolders_;
    std::unordered_map<const MountEntry*, bool> fixedMounts_;
};

bool SystemDriveSnapshot::IsOnFixedDisk(const std::string& path)
{
    if (!mounts_) return false;
    const std::string resolved = Resolve(path);
    for (std::string_view place : {std::string_view(resolved), std::string_view(path)})
        if (IsDesktopNetworkFolder(place)) return false;

    // A working folder deeper than PATH_MAX has no absolute path to look up,
    // and inside a chroot the mount under the root may not be listed; the
    // device still tells the file system.
    const MountEntry* mount = resolved.starts_with('/') ? MountHolding(*mounts_, resolved) : nullptr;
    if (!mount) {
        const std::optional<dev_t> device = DeviceOf(path);
        if (!device) return false;
        mount = MountOfDevice(*mounts_, *device);
        // No mount shows the device: a disk the kernel lists is local, and
        // anything else (a network file system has no disk) is not trusted.
        if (!mount) return IsFixedDevice(::major(*device), ::minor(*device));
    }
    return IsFixed(*mount);
}

std::string SystemDriveSnapshot::Resolve(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A name that is no plain file name is resolved the long way.
    if (name.empty() || name == "." || name == "..") return ResolveNearestExisting(path);

    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return ResolvedFolder(ParentOf(path)); // its nearest existing ancestor
    if (S_ISLNK(info.st_mode)) return ResolveNearestExisting(path);
    const std::string& folder = ResolvedFolder(ParentOf(path));
    if (!folder.starts_with('/') || folder.size() + 1 + name.size() >= PATH_MAX) return ResolveNearestExisting(path);
    return folder == "/" ? "/" + name : folder + "/" + name;
}

const std::string& SystemDriveSnapshot::ResolvedFolder(const std::string& folder)
{
    const auto found = resolvedFolders_.find(folder);
    if (found != resolvedFolders_.end()) return found->second;
    return resolvedFolders_.emplace(folder, ResolveNearestExisting(folder)).first->second;
}

bool SystemDriveSnapshot::IsFixed(const MountEntry& mount)
{
    const auto known = fixedMounts_.find(&mount);
    if (known != fixedMounts_.end()) return known->second;

    bool fixed = !IsNetworkFileSystem(mount.fsType) && !IsOpticalFileSystem(mount.fsType)
              && !IsDesktopNetworkFolder(mount.mountPoint);
    if (fixed) {
        unsigned major = mount.major;
        unsigned minor = mount.minor;
        struct stat device {};
        // Some file systems (btrfs) show an anonymous device number; the block
        // device they were mounted from tells the real disk.
        if (major == 0 && mount.source.starts_with("/dev/") && ::stat(mount.source.c_str(), &device) == 0
            && S_ISBLK(device.st_mode)) {
            major = ::major(device.st_rdev);
            minor = ::minor(device.st_rdev);
        }
        fixed = major == 0 || !IsRemovableDevice(major, minor);
    }
    fixedMounts_.emplace(&mount, fixed);
    return fixed;
}

bool SystemDriveSnapshot::IsFixedDevice(unsigned major, unsigned minor) const
{
    struct stat info {};
    const std::string device = blockDevicesPath_ + "/" + std::to_string(major) + ":" + std::to_string(minor);
    return major != 0 && ::stat(device.c_str(), &info) == 0 && !IsRemovableDevice(major, minor);
}

bool SystemDriveSnapshot::IsRemovableDevice(unsigned major, unsigned minor) const
{
    const std::string device = blockDevicesPath_ + "/" + std::to_string(major) + ":" + std::to_string(minor);
    if (FlagFileSaysOne(device + "/removable")) return true;
    // A partition has no flag of its own; its disk is the parent folder.
    if (const auto resolved = RealPath(device)) return FlagFileSaysOne(ParentOf(*resolved) + "/removable");
    return false;
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

std::unique_ptr<DriveSnapshot> SystemDriveKinds::Snapshot() const
{
    // Read afresh for every snapshot: a disk may be plugged in between runs.
    std::optional<std::vector<MountEntry>> mounts;
    if (const auto table = ReadWholeFile(mountInfoPath_)) mounts = ParseMountInfo(*table);
    return std::make_unique<SystemDriveSnapshot>(std::move(mounts), blockDevicesPath_);
}

} // namespace vantrel::platform
