#include "platform/mount_table.h"

#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

constexpr std::string_view SampleTable =
    "26 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
    "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
    "40 26 8:17 / /media/ann/USB\\040STICK rw,nosuid shared:7 master:2 - vfat /dev/sdb1 rw\n"
    "41 26 0:50 / /home/ann/remote rw - fuse.sshfs ann@host:/srv rw,user_id=0\n"
    "42 26 0:51 /export /mnt/nfs rw - nfs4 server:/export rw\n"
    "this line is not a mount\n"
    "43 26 0:52 / /mnt/nfs rw - tmpfs tmpfs rw\n"
    "44 26 11:0 / /media/cdrom ro - iso9660 /dev/sr0 ro";

TEST(MountTable, ParsesFieldsUnescapesAndSkipsBadLines)
{
    const auto mounts = ParseMountInfo(SampleTable);
    ASSERT_EQ(mounts.size(), 7u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fsType, "ext4");
    EXPECT_EQ(mounts[0].major, 254u);
    EXPECT_EQ(mounts[2].mountPoint, "/media/ann/USB STICK");
    EXPECT_EQ(mounts[2].fsType, "vfat"); // after two optional fields
    EXPECT_EQ(mounts[2].minor, 17u);
    EXPECT_EQ(mounts[3].source, "ann@host:/srv");
    EXPECT_EQ(mounts[6].fsType, "iso9660"); // last line without a line end
}

TEST(MountTable, RejectsMalformedLines)
{
    EXPECT_TRUE(ParseMountInfo("1 2 8:1 / /a rw ext4 /dev/sda rw\n").empty()); // no separator
    EXPECT_TRUE(ParseMountInfo("1 2 8x1 / /a rw - ext4 /dev/sda rw\n").empty()); // bad device
    EXPECT_TRUE(ParseMountInfo("1 2 8:1 / /a rw - ext4\n").empty());              // no source
    EXPECT_TRUE(ParseMountInfo("").empty());
}

TEST(MountTable, PicksTheLongestMountPointOnAComponentBoundary)
{
    const auto mounts = ParseMountInfo(SampleTable);
    const struct {
        std::string_view path;
        std::string_view fsType;
    } cases[] = {
        {"/", "ext4"},
        {"/home/ann/file.txt", "ext4"},
        {"/home/ann/remote", "fuse.sshfs"},
        {"/home/ann/remote/a/b.txt", "fuse.sshfs"},
        {"/home/ann/remoteX/b.txt", "ext4"}, // shares the prefix, not the folder
        {"/media/ann/USB STICK/x.txt", "vfat"},
        {"/mnt/nfs/x.txt", "tmpfs"}, // mounted later on the same point: on top
        {"/proc/self", "proc"},
    };
    for (const auto& c : cases) {
        const MountEntry* mount = MountHolding(mounts, c.path);
        ASSERT_NE(mount, nullptr) << c.path;
        EXPECT_EQ(mount->fsType, c.fsType) << c.path;
    }
    EXPECT_EQ(MountHolding(mounts, "relative/path"), nullptr);
}

TEST(MountTable, TellsNetworkAndOpticalTypes)
{
    for (std::string_view type : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p", "afs", "ceph",
                                  "glusterfs", "fuse.glusterfs", "davfs", "fuse.rclone", "fuse.gvfsd-fuse",
                                  "fuse.gvfs-fuse-daemon", "fuse.kio-fuse"}) {
        EXPECT_TRUE(IsNetworkFileSystem(type)) << type;
    }
    for (std::string_view type : {"ext4", "xfs", "btrfs", "tmpfs", "overlay", "vfat", "fuse", "fuse.ntfs-3g", "proc", ""}) {
        EXPECT_FALSE(IsNetworkFileSystem(type)) << type;
    }
    EXPECT_TRUE(IsOpticalFileSystem("iso9660"));
    EXPECT_TRUE(IsOpticalFileSystem("udf"));
    EXPECT_FALSE(IsOpticalFileSystem("ext4"));
}

} // namespace
} // namespace vantrel::platform
