#include "platform/drive_kinds.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vantrel::platform {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A machine in a folder: a mount table naming folders of the test tree and
// a block-device tree shaped like the kernel's.
class DriveKindsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::canonical(fs::temp_directory_path()) / ("vantrel-drives-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        for (const char* folder : {"local", "usb", "whole", "nfs", "cd", "ram", "ssh"}) fs::create_directories(root_ / folder);

        const fs::path devices = root_ / "sys/devices";
        WriteText(devices / "vda/removable", "0\n");
        fs::create_directories(devices / "vda/vda1");
        WriteText(devices / "sdb/removable", "1\n");
        fs::create_directories(devices / "sdb/sdb1");
        WriteText(devices / "sdc/removable", "1\n");
        const fs::path block = root_ / "sys/dev/block";
        fs::create_directories(block);
        fs::create_directory_symlink(devices / "vda/vda1", block / "254:1");
        fs::create_directory_symlink(devices / "sdb/sdb1", block / "8:17");
        fs::create_directory_symlink(devices / "sdc", block / "8:32");

        const std::string r = root_.string();
        WriteText(root_ / "mountinfo",
                  "1 0 254:1 / / rw - ext4 /dev/vda1 rw\n"
                  "2 1 8:17 / " + r + "/usb rw - vfat /dev/sdb1 rw\n"
                  "3 1 8:32 / " + r + "/whole rw - ext4 /dev/sdc rw\n"
                  "4 1 0:60 / " + r + "/nfs rw - nfs4 server:/x rw\n"
                  "5 1 11:0 / " + r + "/cd ro - iso9660 /dev/sr0 ro\n"
                  "6 1 0:61 / " + r + "/ram rw - tmpfs tmpfs rw\n"
                  "7 1 0:62 / " + r + "/ssh rw - fuse.sshfs me@host:/ rw\n");
        fs::create_directory_symlink(root_ / "usb", root_ / "local/to-usb");
    }
    void TearDown() override { fs::remove_all(root_); }

    SystemDriveKinds Drives() const { return SystemDriveKinds((root_ / "mountinfo").string(), (root_ / "sys/dev/block").string()); }
    std::string At(const char* relative) const { return (root_ / relative).string(); }

    fs::path root_;
};

TEST_F(DriveKindsTest, TellsFixedDisksFromTheOthers)
{
    const SystemDriveKinds drives = Drives();
    const struct {
        const char* path;
        bool fixed;
    } cases[] = {
        {"local", true},
        {"local/absent.txt", true},
        {"ram/a.txt", true},                 // local virtual file system
        {"usb/a.txt", false},                // partition of a removable disk
        {"usb/no/such/folder/a.txt", false}, // nearest existing folder decides
        {"whole/a.txt", false},              // removable disk without partitions
        {"nfs/a.txt", false},
        {"ssh/a.txt", false},
        {"cd/a.txt", false},
        {"local/to-usb/a.txt", false}, // a link into the stick leads there
    };
    for (const auto& c : cases) EXPECT_EQ(drives.IsOnFixedDisk(At(c.path)), c.fixed) << c.path;
}

TEST_F(DriveKindsTest, WithoutAMountTableNothingCountsAsFixed)
{
    const SystemDriveKinds drives((root_ / "no-such-table").string(), (root_ / "sys/dev/block").string());
    EXPECT_FALSE(drives.IsOnFixedDisk(At("local/a.txt")));
}

TEST_F(DriveKindsTest, ResolvesTheNearestExistingAncestor)
{
    EXPECT_EQ(ResolveNearestExisting(At("local")), At("local"));
    EXPECT_EQ(ResolveNearestExisting(At("local/x/y/z.txt")), At("local"));
    EXPECT_EQ(ResolveNearestExisting(At("local/to-usb/x.txt")), At("usb"));
    EXPECT_EQ(ResolveNearestExisting(""), fs::current_path().string());
    EXPECT_EQ(ResolveNearestExisting("no-such-relative/file"), fs::current_path().string());
}

} // namespace
} // namespace vantrel::platform
