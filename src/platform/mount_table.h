#pragma once
// The mount table as /proc/self/mountinfo gives it, and what a mount's file
// system type says about where its files live. Pure functions on text, so
// that every kind of machine can be tried on sample tables.
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::platform {

struct MountEntry {
    unsigned major = 0; // device numbers of the mounted file system
    unsigned minor = 0;
    std::string mountPoint; // unescaped
    std::string fsType;     // "ext4", "nfs4", "fuse.sshfs", ...
    std::string source;     // "/dev/sda1", "server:/export", ...
};

// Lines that do not have the mountinfo shape are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount that holds an absolute, already resolved path: the longest mount
// point that is the path or one of its ancestors. Of several mounts on the
// same point the last one listed is on top. nullptr when none does.
const MountEntry* MountHolding(const std::vector<MountEntry>& mounts, std::string_view path);

// Files reached over a network (including network FUSE mounts).
bool IsNetworkFileSystem(std::string_view fsType);
// Compact discs and DVDs.
bool IsOpticalFileSystem(std::string_view fsType);

} // namespace vantrel::platform
