#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_streams.h"
#include "platform/posix_file_system.h"

namespace vantrel::platform {
namespace {

namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("vantrel-fs-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string At(const char* name) const { return (dir_ / name).string(); }
    static std::string Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir_;
    PosixFileSystem files_;
};

std::vector<std::uint8_t> Pattern(std::size_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

TEST_F(FileSystemTest, BytesSurviveTheRoundTripWhateverTheChunkSizes)
{
    const std::vector<std::uint8_t> bytes = Pattern(10'000);
    {
        // Small buffers, so that both the buffered and the direct path are taken.
        DescriptorOutputFile out(::open(At("data").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600), 64);
        const std::size_t chunks[] = {1, 63, 64, 65, 1000, 7};
        for (std::size_t at = 0, i = 0; at < bytes.size(); ++i) {
            const std::size_t n = std::min(chunks[i % std::size(chunks)], bytes.size() - at);
            ASSERT_TRUE(out.Write(std::span(bytes).subspan(at, n)));
            at += n;
        }
        EXPECT_TRUE(out.Close());
    }
    DescriptorInputFile in(::open(At("data").c_str(), O_RDONLY), 100);
    EXPECT_EQ(in.Size(), 10'000);
    ASSERT_TRUE(in.Rewind());
    for (std::size_t chunk : {3, 100, 4096}) {
        std::vector<std::uint8_t> read, buffer(chunk);
        while (std::size_t got = in.Read(buffer)) read.insert(read.end(), buffer.begin(), buffer.begin() + got);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(read, bytes) << "chunk " << chunk;
        ASSERT_TRUE(in.Rewind());
    }
}

TEST_F(FileSystemTest, AFullDiskIsReportedAndStaysReported)
{
    DescriptorOutputFile out(::open("/dev/full", O_WRONLY), 16);
    const std::vector<std::uint8_t> bytes = Pattern(10);
    EXPECT_TRUE(out.Write(bytes)); // still in the buffer
    EXPECT_FALSE(out.Write(bytes));
    EXPECT_FALSE(out.Write(std::span(bytes).first(1)));
    EXPECT_FALSE(out.Close());

    DescriptorOutputFile buffered(::open("/dev/full", O_WRONLY), 16);
    EXPECT_TRUE(buffered.Write(bytes));
    EXPECT_FALSE(buffered.Close()); // the failure shows when the buffer is stored
}

TEST_F(FileSystemTest, ReadErrorsAreTold)
{
    DescriptorInputFile in(::open(dir_.c_str(), O_RDONLY)); // reading a folder fails
    std::vector<std::uint8_t> buffer(16);
    EXPECT_EQ(in.Read(buffer), 0u);
    EXPECT_TRUE(in.Failed());
}

TEST_F(FileSystemTest, CreatesExclusivelyAndNeverTouchesAnExistingEntry)
{
    std::ofstream(At("taken")) << "keep me";
    EXPECT_EQ(files_.CreateExclusive(At("taken")).status, CreateStatus::AlreadyExists);
    EXPECT_EQ(Contents(At("taken")), "keep me");
    fs::create_directory(dir_ / "folder");
    EXPECT_EQ(files_.CreateExclusive(At("folder")).status, CreateStatus::AlreadyExists);
    EXPECT_EQ(files_.CreateExclusive(At("missing/new")).status, CreateStatus::Failed);

    CreatedFile created = files_.CreateExclusive(At("new"));
    ASSERT_EQ(created.status, CreateStatus::Created);
    ASSERT_TRUE(created.file);
    EXPECT_TRUE(created.file->Close());
    EXPECT_TRUE(files_.FileExists(At("new")));
    EXPECT_EQ(Contents(At("new")), "");
}

TEST_F(FileSystemTest, OpensOnlyRegularFilesForReading)
{
    std::ofstream(At("plain")) << "abc";
    EXPECT_NE(files_.OpenForReading(At("plain")), nullptr);
    EXPECT_EQ(files_.OpenForReading(At("absent")), nullptr);
    EXPECT_EQ(files_.OpenForReading(dir_.string()), nullptr);
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    EXPECT_EQ(files_.OpenForReading(At("pipe")), nullptr); // and does not hang waiting for a writer
}

TEST_F(FileSystemTest, ExistenceFoldersAndDeletion)
{
    std::ofstream(At("file")) << "x";
    EXPECT_TRUE(files_.FileExists(At("file")));
    EXPECT_FALSE(files_.FolderExists(At("file")));
    EXPECT_FALSE(files_.FileExists(dir_.string()));
    EXPECT_TRUE(files_.FolderExists(dir_.string()));
    EXPECT_FALSE(files_.FileExists(""));
    EXPECT_FALSE(files_.FolderExists(""));

    EXPECT_TRUE(files_.CreateFolder(At("sub")));
    EXPECT_TRUE(files_.CreateFolder(At("sub"))); // already there is fine
    EXPECT_FALSE(files_.CreateFolder(At("file")));
    EXPECT_FALSE(files_.CreateFolder(At("no/parent")));

    EXPECT_TRUE(files_.DeleteFile(At("file")));
    EXPECT_FALSE(files_.FileExists(At("file")));
    EXPECT_FALSE(files_.DeleteFile(At("file")));
}

} // namespace
} // namespace vantrel::platform
