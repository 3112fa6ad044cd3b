// Decoded outputs read back for the viewer: converted from a code page with
// nothing dropped, and read only while they are what the run wrote.
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "batch/code_page_text.h"
#include "batch/recorded_output.h"
#include "platform/posix_file_system.h"

namespace vantrel::batch {
namespace {

namespace fs = std::filesystem;

TEST(TextFromCodePageTest, EveryByteIsACharacterOrShowsAsAReplacement)
{
    struct Case {
        const char* bytes;
        const char* codePage;
        TextEnd end;
        const char16_t* text;
    } const cases[] = {
        {"\xcf\xf0\xe8\xe2\xe5\xf2, \xec\xe8\xf0", "CP1251", TextEnd::Whole, u"Привет, мир"},
        {"\xcf\xf0\xe8\xe2\xe5\xf2", "CP1252", TextEnd::Whole, u"Ïðèâåò"},
        {"Za\xbf\xf3\xb3\xe6 g\xea\x9c", "CP1250", TextEnd::Whole, u"Zażółć gęś"},
        // 0x98 is no character in CP1251, nor 0x81 and 0x83 in CP1250.
        {"\xcf\x98\xf0", "CP1251", TextEnd::Whole, u"П\uFFFDр"},
        {"a\x81\x83z", "CP1250", TextEnd::Whole, u"a\uFFFD\uFFFDz"},
        {"\xd0\x9f\xd1\x80\xd0\xb8", "UTF-8", TextEnd::Whole, u"При"},
        {"\xcf\xf0\xe8", "UTF-8", TextEnd::Whole, u"\uFFFD\uFFFD\uFFFD"},
        {"a\xff\xc0\xafz", "UTF-8", TextEnd::Whole, u"a\uFFFD\uFFFD\uFFFDz"}, // no overlong "/"
        // A character cut at the end: shown when the text ends there, left
        // out when only its first bytes were read.
        {"ok\xd0", "UTF-8", TextEnd::Whole, u"ok\uFFFD"},
        {"ok\xd0", "UTF-8", TextEnd::Cut, u"ok"},
        {"\x93\xfa\x96\x7b", "CP932", TextEnd::Whole, u"日本"},
        {"\x93\xfa\x96", "CP932", TextEnd::Cut, u"日"},
        {"\x93\xfa\x96", "CP932", TextEnd::Whole, u"日\uFFFD"},
        // An accent stays a character of its own after its letter.
        {"\xe0\xc7", "CP1255", TextEnd::Whole, u"\u05D0\u05B7"},
        {"", "CP1251", TextEnd::Whole, u""},
    };
    for (const Case& c : cases) {
        const std::optional<std::u16string> text = TextFromCodePage(c.bytes, c.codePage, c.end);
        ASSERT_TRUE(text.has_value()) << c.codePage;
        EXPECT_TRUE(*text == c.text) << c.codePage << " " << c.bytes;
    }
    EXPECT_FALSE(TextFromCodePage("text", "CP99999", TextEnd::Whole).has_value());
    // Every code page offered can be read here.
    for (const TextCodePage& page : TextCodePages())
        EXPECT_TRUE(TextFromCodePage("a", std::string(page.name), TextEnd::Whole)) << page.name;
}

class RecordedOutputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vantrel-viewed-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const char* name, std::string_view bytes) const
    {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
        return path;
    }

    fs::path dir_;
    platform::PosixFileSystem files_;
};

TEST_F(RecordedOutputTest, OnlyTheFileAsRecordedIsRead)
{
    struct Case {
        const char* name;
        bool readable;
        std::function<void(const std::string& path)> change;
    } const cases[] = {
        {"unchanged", true, [](const std::string&) {}},
        {"permissions changed", true, [](const std::string& path) { ::chmod(path.c_str(), 0600); }},
        {"appended to", false, [](const std::string& path) { std::ofstream(path, std::ios::app) << "!"; }},
        {"touched", false,
         [](const std::string& path) {
             const timespec times[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
             ::utimensat(AT_FDCWD, path.c_str(), times, 0);
         }},
        {"replaced by a copy", false,
         [this](const std::string& path) { std::rename(Write("copy.txt", "Привет, мир").c_str(), path.c_str()); }},
        {"deleted", false, [](const std::string& path) { std::remove(path.c_str()); }},
    };
    for (const Case& c : cases) {
        const std::string path = Write("a-dec.txt", "Привет, мир");
        const std::optional<platform::FileStamp> stamp = files_.Stamp(path);
        ASSERT_TRUE(stamp.has_value());
        c.change(path);
        const std::optional<OutputBeginning> read = ReadRecordedOutput(files_, path, *stamp);
        ASSERT_EQ(read.has_value(), c.readable) << c.name;
        if (c.readable) {
            EXPECT_EQ(read->bytes, "Привет, мир") << c.name;
            EXPECT_EQ(read->fileSize, std::int64_t(std::string_view("Привет, мир").size())) << c.name;
        }
    }
}

TEST_F(RecordedOutputTest, ALargeFileIsReadOnlyToTheLimit)
{
    const std::string path = Write("large-dec.txt", "begin");
    fs::resize_file(path, std::uintmax_t(1) << 30); // sparse: takes no room
    const std::optional<platform::FileStamp> stamp = files_.Stamp(path);
    ASSERT_TRUE(stamp.has_value());

    const std::optional<OutputBeginning> read = ReadRecordedOutput(files_, path, *stamp);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->fileSize, std::int64_t(1) << 30);
    ASSERT_EQ(read->bytes.size(), std::size_t(16) << 20);
    EXPECT_EQ(read->bytes.substr(0, 6), std::string("begin\0", 6));

    EXPECT_EQ(ReadRecordedOutput(files_, path, *stamp, 3)->bytes, "beg");
}

} // namespace
} // namespace vantrel::batch
