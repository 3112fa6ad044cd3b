#include "batch/drive_check.h"

#include <gtest/gtest.h>

#include "platform/testing/fake_drive_kinds.h"

namespace vantrel::batch {
namespace {

TEST(DriveCheck, WithoutAChosenFolderTheFirstSourceOffAFixedDiskStopsTheRun)
{
    platform::testing::FakeDriveKinds drives;
    drives.notFixed = {"/media/usb/", "/net/"};
    const std::vector<std::string> sources = {"/home/a.txt", "/media/usb/b.txt", "/net/c.txt"};

    EXPECT_EQ(FirstSourceNotAllowed(drives, sources, false), 1u);
    EXPECT_EQ(drives.asked, (std::vector<std::string>{"/home/a.txt", "/media/usb/b.txt"})); // c is not asked about

    const std::vector<std::string> lastOnly = {"/home/a.txt", "/home/b.txt", "/net/c.txt"};
    EXPECT_EQ(FirstSourceNotAllowed(drives, lastOnly, false), 2u);

    const std::vector<std::string> local = {"/home/a.txt", "/home/b.txt"};
    EXPECT_EQ(FirstSourceNotAllowed(drives, local, false), std::nullopt);
    EXPECT_EQ(FirstSourceNotAllowed(drives, {}, false), std::nullopt);
}

TEST(DriveCheck, WithAChosenFolderEverySourcePasses)
{
    platform::testing::FakeDriveKinds drives;
    drives.notFixed = {"/"};
    const std::vector<std::string> sources = {"/media/usb/b.txt", "/net/c.txt"};
    EXPECT_EQ(FirstSourceNotAllowed(drives, sources, true), std::nullopt);
    EXPECT_TRUE(SourceAllowed(drives, "/net/c.txt", true));
    EXPECT_FALSE(SourceAllowed(drives, "/net/c.txt", false));
}

} // namespace
} // namespace vantrel::batch
