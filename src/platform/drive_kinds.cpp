#include "platform/drive_kinds.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>

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
    const auto mount = MountHolding(ParseMountInfo(*table), ResolveNearestExisting(path));
    if (!mount) return false;
    if (IsNetworkFileSystem(mount->fsType) || IsOpticalFileSystem(mount->fsType)) return false;

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
