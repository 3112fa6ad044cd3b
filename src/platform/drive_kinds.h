#pragma once
// Whether a path lies on a fixed disk: a local, non-removable file system.
// Without a chosen output folder a run writes beside its sources, and only
// fixed disks are trusted for that.
#include <string>

namespace vantrel::platform {

class DriveKinds {
public:
    virtual ~DriveKinds() = default;
    // For a path that does not exist, its nearest existing folder decides.
    virtual bool IsOnFixedDisk(const std::string& path) const = 0;
};

// Asks the kernel: the mount table for the file system and its type, the
// block devices' "removable" flag for the disk under it.
class SystemDriveKinds final : public DriveKinds {
public:
    explicit SystemDriveKinds(std::string mountInfoPath = "/proc/self/mountinfo",
                              std::string blockDevicesPath = "/sys/dev/block");
    bool IsOnFixedDisk(const std::string& path) const override;

private:
    bool IsRemovableDevice(unsigned major, unsigned minor) const;

    std::string mountInfoPath_;
    std::string blockDevicesPath_;
};

// The absolute, symlink-free form of the path's nearest existing ancestor
// (the path itself when it exists); relative paths start at the current folder.
std::string ResolveNearestExisting(const std::string& path);

} // namespace vantrel::platform
