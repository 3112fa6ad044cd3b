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

// The modes of this process's open files in dir_ that have no name yet.
std::vector<std::uint32_t> UnnamedFileModes(const fs::path& dir)
{
    std::vector<std::uint32_t> modes;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const std::string target = fs::read_symlink(entry.path(), error).string();
        struct stat info {};
        if (!error && target.starts_with(dir.string() + "/#") && target.ends_with(" (deleted)")
            && ::stat(entry.path().c_str(), &info) == 0) {
            modes.push_back(info.st_mode & 07777);
        }
    }
    return modes;
}

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
    EXPECT_EQ(out.FailureReason(), "No space left on device");

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
    EXPECT_EQ(in.FailureReason(), "Is a directory");
}

TEST_F(FileSystemTest, CreatesExclusivelyAndNeverTouchesAnExistingEntry)
{
    std::ofstream(At("taken")) << "keep me";
    EXPECT_EQ(files_.CreateExclusive(At("taken"), 0666).status, CreateStatus::AlreadyExists);
    EXPECT_EQ(Contents(At("taken")), "keep me");
    fs::create_directory(dir_ / "folder");
    EXPECT_EQ(files_.CreateExclusive(At("folder"), 0666).status, CreateStatus::AlreadyExists);
    const CreatedFile missing = files_.CreateExclusive(At("missing/new"), 0666);
    EXPECT_EQ(missing.status, CreateStatus::Failed);
    EXPECT_EQ(missing.error, "No such file or directory");

    CreatedFile created = files_.CreateExclusive(At("new"), 0666);
    ASSERT_EQ(created.status, CreateStatus::Created);
    ASSERT_TRUE(created.file);
    EXPECT_TRUE(created.file->Close());
    EXPECT_TRUE(files_.FileExists(At("new")));
    EXPECT_EQ(Contents(At("new")), "");
}

TEST_F(FileSystemTest, OpensOnlyRegularFilesForReading)
{
    std::ofstream(At("plain")) << "abc";
    EXPECT_NE(files_.OpenForReading(At("plain")).file, nullptr);
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* error;
    } refused[] = {
        {At("absent"), "No such file or directory"},
        {dir_.string(), "Is a directory"},
        {At("pipe"), "Not a regular file"}, // and does not hang waiting for a writer
    };
    for (const auto& c : refused) {
        const OpenedFile opened = files_.OpenForReading(c.path);
        EXPECT_EQ(opened.file, nullptr) << c.path;
        EXPECT_EQ(opened.error, c.error) << c.path;
    }
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

    EXPECT_EQ(files_.CreateFolder(At("sub")), "");
    EXPECT_EQ(files_.CreateFolder(At("sub")), ""); // already there is fine
    EXPECT_EQ(files_.CreateFolder(At("file")), "File exists");
    EXPECT_EQ(files_.CreateFolder(At("no/parent")), "No such file or directory");

    EXPECT_TRUE(files_.DeleteFile(At("file")));
    EXPECT_FALSE(files_.FileExists(At("file")));
    EXPECT_FALSE(files_.DeleteFile(At("file")));
}

TEST_F(FileSystemTest, AnUnnamedOutputGetsItsNameOnlyWholeAndNeverTakesAnExistingOne)
{
    std::ofstream(At("taken")) << "keep me";
    const std::vector<std::uint8_t> bytes = Pattern(3 * FileBufferSize / 2);
    CreatedUnnamedFile created = files_.CreateUnnamed(dir_.string(), 0600);
    ASSERT_EQ(created.status, UnnamedStatus::Created);
    ASSERT_TRUE(created.file->Write(std::span(bytes).first(bytes.size() - 100)));
    ASSERT_TRUE(created.file->Write(std::span(bytes).last(100))); // still buffered at the end
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1); // only "taken"

    EXPECT_EQ(created.file->Publish(At("taken")), PublishStatus::NameTaken);
    EXPECT_EQ(Contents(At("taken")), "keep me");
    EXPECT_EQ(created.file->Publish(At("mine")), PublishStatus::Published);
    EXPECT_EQ(Contents(At("mine")), std::string(bytes.begin(), bytes.end()));

    // One that is dropped unpublished leaves nothing.
    CreatedUnnamedFile dropped = files_.CreateUnnamed(dir_.string(), 0600);
    ASSERT_EQ(dropped.status, UnnamedStatus::Created);
    ASSERT_TRUE(dropped.file->Write(bytes));
    dropped.file.reset();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2);
}

TEST_F(FileSystemTest, UnnamedOutputsWhereTheFileSystemHasNoneOrTheFolderIsMissing)
{
    EXPECT_EQ(files_.CreateUnnamed("/proc", 0600).status, UnnamedStatus::Unsupported);
    const CreatedUnnamedFile missing = files_.CreateUnnamed(At("missing"), 0600);
    EXPECT_EQ(missing.status, UnnamedStatus::Failed);
    EXPECT_EQ(missing.error, "No such file or directory");
}

TEST_F(FileSystemTest, OutputsTakeTheirPermissionsLessTheUmaskBeforeTheyHaveAName)
{
    const mode_t saved = ::umask(022);
    for (std::uint32_t permissions : {0600u, 0644u, 0666u}) {
        SCOPED_TRACE(permissions);
        const std::string name = "named-" + std::to_string(permissions);
        CreatedFile named = files_.CreateExclusive(At(name.c_str()), permissions);
        ASSERT_TRUE(named.file);
        CreatedUnnamedFile unnamed = files_.CreateUnnamed(dir_.string(), permissions);
        ASSERT_TRUE(unnamed.file);
        EXPECT_EQ(UnnamedFileModes(dir_), std::vector<std::uint32_t>{permissions & 0755}) << "before the name";
        ASSERT_EQ(unnamed.file->Publish(At(("unnamed-" + std::to_string(permissions)).c_str())),
                  PublishStatus::Published);
        for (const std::string prefix : {"named-", "unnamed-"}) {
            struct stat info {};
            ASSERT_EQ(::stat(At((prefix + std::to_string(permissions)).c_str()).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, permissions & 0755) << prefix;
        }
    }
    ::umask(saved);
}

} // namespace
} // namespace vantrel::platform
