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

    EXPECT_EQ(CheckSources(drives, sources, false).notAllowed, 1u);
    EXPECT_EQ(drives.asked, (std::vector<std::string>{"/home/a.txt", "/media/usb/b.txt"})); // c is not asked about
    EXPECT_EQ(drives.snapshots, 1); // one look at the machine for all the sources

    const std::vector<std::string> lastOnly = {"/home/a.txt", "/home/b.txt", "/net/c.txt"};
    EXPECT_EQ(CheckSources(drives, lastOnly, false).notAllowed, 2u);

    const std::vector<std::string> local = {"/home/a.txt", "/home/b.txt"};
    const SourceCheck passed = CheckSources(drives, local, false);
    EXPECT_EQ(passed.notAllowed, std::nullopt);
    EXPECT_FALSE(passed.interrupted);
    EXPECT_EQ(CheckSources(drives, {}, false).notAllowed, std::nullopt);
}

TEST(DriveCheck, WithAChosenFolderEverySourcePassesUnasked)
{
    platform::testing::FakeDriveKinds drives;
    drives.notFixed = {"/"};
    const std::vector<std::string> sources = {"/media/usb/b.txt", "/net/c.txt"};
    EXPECT_EQ(CheckSources(drives, sources, true).notAllowed, std::nullopt);
    EXPECT_EQ(drives.snapshots, 0);
}

TEST(DriveCheck, AnInterruptionEndsTheCheckOfALongList)
{
    platform::testing::FakeDriveKinds drives;
    drives.notFixed = {"/net/"};
    std::vector<std::string> sources(100'000, "/home/a.txt");
    sources.back() = "/net/c.txt";
    int asked = 0;
    const SourceCheck check = CheckSources(drives, sources, false, [&] { return ++asked > 1; });
    EXPECT_TRUE(check.interrupted);
    EXPECT_EQ(check.notAllowed, std::nullopt); // the source off the fixed disks was never reached
    EXPECT_LT(drives.asked.size(), sources.size() / 10);
}

} // namespace
} // namespace vantrel::batch
