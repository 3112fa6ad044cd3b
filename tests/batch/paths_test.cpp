#include "batch/paths.h"

#include <gtest/gtest.h>

#include "batch/output_files.h"

namespace vantrel::batch {
namespace {

TEST(Paths, SplitIntoFolderFileAndBaseName)
{
    const struct {
        std::string_view path, folder, file, base;
    } cases[] = {
        {"/home/ann/report.txt", "/home/ann/", "report.txt", "report"},
        {"/home/ann/report.2024.txt", "/home/ann/", "report.2024.txt", "report.2024"},
        {"/home/ann/report", "/home/ann/", "report", "report"},
        {"/home/ann.d/report", "/home/ann.d/", "report", "report"}, // dots in folders do not count
        {"/report.txt", "/", "report.txt", "report"},
        {"report.txt", "", "report.txt", "report"},
        {"/home/ann/.notes", "/home/ann/", ".notes", ""},
        {"/home/ann/trailing.", "/home/ann/", "trailing.", "trailing"},
        {"/home/ann/", "/home/ann/", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileName(c.path), c.file) << c.path;
        EXPECT_EQ(BaseName(FileName(c.path)), c.base) << c.path;
    }
}

TEST(Paths, JoinWithExactlyOneSlash)
{
    EXPECT_EQ(JoinPath("/out", "a-dec.txt"), "/out/a-dec.txt");
    EXPECT_EQ(JoinPath("/out/", "a-dec.txt"), "/out/a-dec.txt");
    EXPECT_EQ(JoinPath("/", "a-dec.txt"), "/a-dec.txt");
    EXPECT_EQ(JoinPath("", "a-dec.txt"), "/a-dec.txt");
}

TEST(OutputNames, FollowTheCandidateOrder)
{
    EXPECT_EQ(OutputNameCandidate("report", 0), "report-dec.txt");
    EXPECT_EQ(OutputNameCandidate("report", 1), "report-dec(1).txt");
    EXPECT_EQ(OutputNameCandidate("report", 12), "report-dec(12).txt");
    EXPECT_EQ(OutputNameCandidate("", 0), "-dec.txt");
}

TEST(OutputNames, FolderIsTheChosenOneOrDecriptBesideTheSource)
{
    EXPECT_EQ(OutputFolderFor({}, "/data/logs/a.txt"), "/data/logs/Decript");
    EXPECT_EQ(OutputFolderFor({}, "/a.txt"), "/Decript");
    EXPECT_EQ(OutputFolderFor({}, "a.txt"), "Decript");
    EXPECT_EQ(OutputFolderFor({"/chosen/"}, "/data/logs/a.txt"), "/chosen/");
    EXPECT_EQ(OutputFolderFor({""}, "/data/logs/a.txt"), "");
}

} // namespace
} // namespace vantrel::batch
