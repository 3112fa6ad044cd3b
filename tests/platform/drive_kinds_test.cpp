#include "platform/drive_kinds.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
        for (const char* folder : {"local", "usb", "whole", "nfs", "cd", "ram", "ssh", "gvfs"}) fs::create_directories(root_ / folder);

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
                  "7 1 0:62 / " + r + "/ssh rw - fuse.sshfs me@host:/ rw\n"
                  "8 1 0:63 / " + r + "/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n");
        fs::create_directory_symlink(root_ / "usb", root_ / "local/to-usb");
        WriteText(root_ / "usb/stick.txt", "x");
        WriteText(root_ / "local/disk.txt", "x");
        fs::create_symlink(root_ / "usb/stick.txt", root_ / "local/stick-link.txt");
    }
    void TearDown() override { fs::remove_all(root_); }

    SystemDriveKinds Drives() const { return SystemDriveKinds((root_ / "mountinfo").string(), (root_ / "sys/dev/block").string()); }
    std::string At(const char* relative) const { return (root_ / relative).string(); }

    fs::path root_;
};

TEST_F(DriveKindsTest, TellsFixedDisksFromTheOthers)
{
    const SystemDriveKinds drives = Drives();
    const std::unique_ptr<DriveSnapshot> snapshot = drives.Snapshot();
    const struct {
        const char* path;
        bool fixed;
    } cases[] = {
        {"local", true},
        {"local/absent.txt", true},
        {"local/disk.txt", true},
        {"local/stick-link.txt", false}, // a link to a file on the stick
        {"local/to-usb/..", true},
        {"usb/.", false},
        {"usb/stick.txt", false},
        {"ram/a.txt", true},                 // local virtual file system
        {"usb/a.txt", false},                // partition of a removable disk
        {"usb/no/such/folder/a.txt", false}, // nearest existing folder decides
        {"whole/a.txt", false},              // removable disk without partitions
        {"nfs/a.txt", false},
        {"ssh/a.txt", false},
        {"cd/a.txt", false},
        {"local/to-usb/a.txt", false}, // a link into the stick leads there
        {"gvfs/smb-share:server=nas,share=docs/a.txt", false},
    };
    // One snapshot answers for many paths as single questions do.
    for (const auto& c : cases) {
        EXPECT_EQ(drives.IsOnFixedDisk(At(c.path)), c.fixed) << c.path;
        EXPECT_EQ(snapshot->IsOnFixedDisk(At(c.path)), c.fixed) << c.path << " (snapshot)";
    }
    // The desktop's network places, whatever their mount says (here: on "/").
    for (const char* place : {"/run/user/1000/gvfs/sftp:host=h/a.txt", "/run/user/0/gvfs"}) {
        EXPECT_FALSE(drives.IsOnFixedDisk(place)) << place;
    }
    for (const char* local : {"/run/user/1000/gvfsx/a.txt", "/run/user/me/gvfs/a.txt", "/run/user/1000/a.txt"}) {
        EXPECT_TRUE(drives.IsOnFixedDisk(local)) << local;
    }
}

// A folder chain deeper than PATH_MAX, made and removed with *at() walks.
class DeepFolder {
public:
    DeepFolder(const fs::path& under, int levels) : top_(under)
    {
        int fd = ::open(under.c_str(), O_DIRECTORY | O_RDONLY);
        for (int i = 0; i < levels && fd >= 0; ++i) {
            ::mkdirat(fd, Name().c_str(), 0700);
            const int next = ::openat(fd, Name().c_str(), O_DIRECTORY | O_RDONLY);
            ::close(fd);
            fd = next;
            ++levels_;
        }
        deepest_ = fd;
    }
    ~DeepFolder()
    {
        ::close(deepest_);
        for (; levels_ > 0; --levels_) {
            int fd = ::open(top_.c_str(), O_DIRECTORY | O_RDONLY);
            for (int i = 1; i < levels_; ++i) {
                const int next = ::openat(fd, Name().c_str(), O_DIRECTORY | O_RDONLY);
                ::close(fd);
                fd = next;
            }
            ::unlinkat(fd, Name().c_str(), AT_REMOVEDIR);
            ::close(fd);
        }
    }
    int Descriptor() const { return deepest_; }
    static std::string Name() { return std::string(250, 'd'); }

private:
    fs::path top_;
    int levels_ = 0;
    int deepest_ = -1;
};

TEST_F(DriveKindsTest, AWorkingFolderBeyondPathMaxStillTellsTheDiskOfARelativeSource)
{
    struct stat info {};
    ASSERT_EQ(::stat(root_.c_str(), &info), 0);
    const std::string device = std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
    WriteText(root_ / "real-mountinfo", "1 0 " + device + " / / rw - ext4 /dev/test-disk rw\n");
    const DeepFolder deep(root_, 20); // 20 * 251 bytes > PATH_MAX
    ASSERT_GE(deep.Descriptor(), 0);
    ::close(::openat(deep.Descriptor(), "a.txt", O_CREAT | O_WRONLY, 0600));
    const int home = ::open(".", O_DIRECTORY | O_RDONLY);
    ASSERT_EQ(::fchdir(deep.Descriptor()), 0);

    const bool resolvable = ResolveNearestExisting("a.txt").starts_with('/');
    std::vector<bool> answers;
    for (const char* removable : {"0\n", "1\n"}) {
        WriteText(root_ / "real-block" / device / "removable", removable);
        const SystemDriveKinds drives((root_ / "real-mountinfo").string(), (root_ / "real-block").string());
        answers.push_back(drives.IsOnFixedDisk("a.txt"));
    }
    ::unlinkat(deep.Descriptor(), "a.txt", 0);
    ASSERT_EQ(::fchdir(home), 0);
    ::close(home);

    EXPECT_FALSE(resolvable) << "the working folder should be too deep for an absolute path";
    EXPECT_TRUE(answers[0]) << "fixed disk";
    if (major(info.st_dev) != 0) {
        EXPECT_FALSE(answers[1]) << "removable disk";
    }
}

TEST_F(DriveKindsTest, WithoutAMountTableNothingCountsAsFixed)
{
    const SystemDriveKinds drives((root_ / "no-such-table").string(), (root_ / "sys/dev/block").string());
    EXPECT_FALSE(drives.IsOnFixedDisk(At("local/a.txt")));
}

TEST_F(DriveKindsTest, ASnapshotAnswersFromTheTableAsItWasWhenTaken)
{
    const SystemDriveKinds drives = Drives();
    const std::unique_ptr<DriveSnapshot> before = drives.Snapshot();
    fs::remove(root_ / "mountinfo");
    EXPECT_TRUE(before->IsOnFixedDisk(At("local/a.txt")));
    EXPECT_FALSE(before->IsOnFixedDisk(At("nfs/a.txt")));
    EXPECT_FALSE(drives.Snapshot()->IsOnFixedDisk(At("local/a.txt"))); // the next one sees the change
}

// As inside a chroot: no listed mount point holds the test tree, so its
// device number has to tell the file system.
TEST_F(DriveKindsTest, WhereNoMountPointHoldsThePathItsDeviceTellsTheFileSystem)
{
    struct stat info {};
    ASSERT_EQ(::stat(root_.c_str(), &info), 0);
    const std::string device = std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev));
    const bool blockDevice = major(info.st_dev) != 0;
    const struct {
        std::string table;
        const char* removable; // the block device's flag; nullptr: the kernel lists no such disk
        bool fixed;
    } cases[] = {
        {"1 0 " + device + " / /elsewhere rw - ext4 /dev/test-disk rw\n", "0\n", true},
        {"1 0 " + device + " / /elsewhere rw - ext4 /dev/test-disk rw\n", "1\n", !blockDevice},
        {"1 0 " + device + " / /elsewhere rw - nfs4 server:/x rw\n", "0\n", false},
        {"1 0 " + device + " / /elsewhere rw - fuse.sshfs me@host:/ rw\n", nullptr, false},
        // Not listed at all: a disk the kernel knows is still a disk.
        {"1 0 0:999999 / /elsewhere rw - ext4 /dev/other rw\n", "0\n", blockDevice},
        {"1 0 0:999999 / /elsewhere rw - ext4 /dev/other rw\n", "1\n", false},
        {"1 0 0:999999 / /elsewhere rw - ext4 /dev/other rw\n", nullptr, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(root_ / "chroot-block");
        if (c.removable) WriteText(root_ / "chroot-block" / device / "removable", c.removable);
        WriteText(root_ / "chroot-mountinfo", c.table);
        const SystemDriveKinds drives((root_ / "chroot-mountinfo").string(), (root_ / "chroot-block").string());
        EXPECT_EQ(drives.IsOnFixedDisk(At("local/disk.txt")), c.fixed) << c.table << (c.removable ? c.removable : "unlisted");
    }
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
