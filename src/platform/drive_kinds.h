#pragma once
// Whether a path lies on a fixed disk: a local, non-removable file system.
// Without a chosen output folder a run writes beside its sources, and only
// fixed disks are trusted for that.
#include <memory>
#include <string>

namespace vantrel::platform {

// The drives as they were at one moment, for many questions in a row (the
// sources of one run): the machine is looked at once, not once per path.
class DriveSnapshot {
public:
    virtual ~DriveSnapshot() = default;
    // For a path that does not exist, its nearest existing folder decides.
    virtual bool IsOnFixedDisk(const std::string& path) = 0;
};

class DriveKinds {
public:
    virtual ~DriveKinds() = default;
    // A disk plugged in after this is seen by the next snapshot.
    virtual std::unique_ptr<DriveSnapshot> Snapshot() const = 0;
    // One question on its own.
    bool IsOnFixedDisk(const std::string& path) const { return Snapshot()->IsOnFixedDisk(path); }
};

// Asks the kernel: the mount table for the file system and its type, the
// block devices' "removable" flag for the disk under it.
class SystemDriveKinds final : public DriveKinds {
public:
    explicit SystemDriveKinds(std::string mountInfoPath = "/proc/self/mountinfo",
                              std::string blockDevicesPath = "/sys/dev/block");
    std::unique_ptr<DriveSnapshot> Snapshot() const override;

private:
    std::string mountInfoPath_;
    std::string blockDevicesPath_;
};

// The absolute, symlink-free form of the path's nearest existing ancestor
// (the path itself when it exists); relative paths start at the current folder.
std::string ResolveNearestExisting(const std::string& path);

} // namespace vantrel::platform
