// The walk over a real folder tree, with links, hidden entries and letter
// case, and over one whose sub-folder cannot be read.
#include "batch/folder_walk.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vantrel::batch {
namespace {

namespace fs = std::filesystem;

TEST(TextFileNames, EndInDotTxtInAnyLetterCase)
{
    for (const char* name : {"a.txt", "A.TXT", "notes.Txt", "x.y.txt", "report 1.tXt"})
        EXPECT_TRUE(IsTextFileName(name)) << name;
    for (const char* name : {"a.txt.bak", "atxt", "txt", "a.tx", "a.text", "", "a.txt "})
        EXPECT_FALSE(IsTextFileName(name)) << name;
}

// Reads the real folders, except the ones it is told to fail on.
class FailingLister final : public platform::FolderLister {
public:
    std::vector<std::string> unreadable;
    std::optional<std::vector<platform::FolderEntry>> List(const std::string& folder) const override
    {
        if (std::find(unreadable.begin(), unreadable.end(), folder) != unreadable.end()) return std::nullopt;
        return real_.List(folder);
    }

private:
    platform::PosixFolderLister real_;
};

class FolderWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("vantrel-walk-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        for (const char* file : {"b.txt", "a.TXT", "image.png", "sub/z.txt", "sub/deeper/c.txt", "sub0/a.txt",
                                 ".hidden.txt", ".cache/inside.txt", "sub/deeper/no-extension", "sub-x.txt"}) {
            fs::create_directories((root_ / file).parent_path());
            std::ofstream(root_ / file) << "text";
        }
        fs::create_directory_symlink(root_, root_ / "sub/loop");          // back up: never followed
        fs::create_directory_symlink(root_ / "sub0", root_ / "linked");   // sideways: not followed either
        fs::create_symlink(root_ / "b.txt", root_ / "sub/link.txt");      // a link to a file is a file
        fs::create_symlink(root_ / "gone.txt", root_ / "broken.txt");     // leads nowhere
        fs::create_directory(root_ / "folder.txt");                      // a folder, whatever its name
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string At(const char* relative) const { return (root_ / relative).string(); }

    fs::path root_;
};

TEST_F(FolderWalkTest, FindsEveryTextFileAllLevelsDownSortedByPath)
{
    FailingLister lister;
    const TextFileWalk walk = FindTextFiles(lister, root_.string());

    // '-' < '.' < '/' < '0' in byte order, so "sub-x.txt", "sub/...", "sub0/...".
    const std::vector<std::string> expected{At("a.TXT"),           At("b.txt"),      At("sub-x.txt"),
                                            At("sub/deeper/c.txt"), At("sub/link.txt"), At("sub/z.txt"),
                                            At("sub0/a.txt")};
    EXPECT_EQ(walk.files, expected);
    EXPECT_TRUE(walk.unreadableFolders.empty());
}

TEST_F(FolderWalkTest, UnreadableFoldersAreSkippedAndNamed)
{
    FailingLister lister;
    lister.unreadable = {At("sub"), At("missing")};

    const TextFileWalk walk = FindTextFiles(lister, root_.string() + "/");
    EXPECT_EQ(walk.files, (std::vector<std::string>{At("a.TXT"), At("b.txt"), At("sub-x.txt"), At("sub0/a.txt")}));
    EXPECT_EQ(walk.unreadableFolders, std::vector<std::string>{At("sub")});

    const TextFileWalk none = FindTextFiles(lister, At("missing"));
    EXPECT_TRUE(none.files.empty());
    EXPECT_EQ(none.unreadableFolders, std::vector<std::string>{At("missing")});
}

} // namespace
} // namespace vantrel::batch
