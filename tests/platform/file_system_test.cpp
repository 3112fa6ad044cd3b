#include <algorithm>
#include <csignal>
#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <numeric>
#include <optional>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_streams.h"
#include "platform/posix_file_system.h"
#include "platform/testing/passthrough_mount.h"

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
    static std::vector<std::string> Entries(const fs::path& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
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

// The two ways an output is written before it has its name.
enum class Unnamed { ByTheSystem, UnderATemporaryName };

CreatedUnnamedFile Create(FileSystem& files, Unnamed kind, const std::string& folder, OutputAccess access = {})
{
    return kind == Unnamed::ByTheSystem ? files.CreateUnnamed(folder, access)
                                        : files.CreateUnderTemporaryName(folder, access);
}

const char* KindName(Unnamed kind)
{
    return kind == Unnamed::ByTheSystem ? "unnamed" : "under a temporary name";
}

// A temporary name is hidden and can be no output's name (they end in ".txt").
bool IsTemporaryName(const std::string& name)
{
    return name.starts_with(".vantrel-") && name.size() == 21 && !name.ends_with(".txt");
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

TEST_F(FileSystemTest, ExistenceAndFolders)
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
}

TEST_F(FileSystemTest, AnUnnamedOutputGetsItsNameOnlyWholeAndNeverTakesAnExistingOne)
{
    std::ofstream(At("taken")) << "keep me";
    const std::vector<std::uint8_t> bytes = Pattern(3 * FileBufferSize / 2);
    for (const Unnamed kind : {Unnamed::ByTheSystem, Unnamed::UnderATemporaryName}) {
        SCOPED_TRACE(KindName(kind));
        fs::remove(At("mine"));
        CreatedUnnamedFile created = Create(files_, kind, dir_.string());
        ASSERT_EQ(created.status, UnnamedStatus::Created);
        ASSERT_TRUE(created.file->Write(std::span(bytes).first(bytes.size() - 100)));
        ASSERT_TRUE(created.file->Write(std::span(bytes).last(100))); // still buffered at the end
        // Nothing another program could take for an output.
        std::vector<std::string> before = Entries(dir_);
        if (kind == Unnamed::UnderATemporaryName) {
            ASSERT_EQ(before.size(), 2u);
            EXPECT_TRUE(IsTemporaryName(before.front())) << before.front();
            before.erase(before.begin());
        }
        EXPECT_EQ(before, std::vector<std::string>{"taken"});

        EXPECT_EQ(created.file->Publish(At("taken")), PublishStatus::NameTaken);
        EXPECT_EQ(Contents(At("taken")), "keep me");
        EXPECT_EQ(created.file->Publish(At("mine")), PublishStatus::Published);
        EXPECT_EQ(Contents(At("mine")), std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"mine", "taken"}));

        // One that is dropped unpublished leaves nothing.
        CreatedUnnamedFile dropped = Create(files_, kind, dir_.string());
        ASSERT_EQ(dropped.status, UnnamedStatus::Created);
        ASSERT_TRUE(dropped.file->Write(bytes));
        dropped.file.reset();
        EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"mine", "taken"}));
    }
}

TEST_F(FileSystemTest, UnnamedOutputsWhereTheFileSystemHasNoneOrTheFolderIsMissing)
{
    EXPECT_EQ(files_.CreateUnnamed("/proc", {0600, {}}).status, UnnamedStatus::Unsupported);
    for (const Unnamed kind : {Unnamed::ByTheSystem, Unnamed::UnderATemporaryName}) {
        const CreatedUnnamedFile missing = Create(files_, kind, At("missing"));
        EXPECT_EQ(missing.status, UnnamedStatus::Failed) << KindName(kind);
        EXPECT_EQ(missing.error, "No such file or directory") << KindName(kind);
    }
}

TEST_F(FileSystemTest, OutputsTakeTheirPermissionsLessTheUmaskBeforeTheyHaveAName)
{
    const mode_t saved = ::umask(022);
    for (const Unnamed kind : {Unnamed::ByTheSystem, Unnamed::UnderATemporaryName}) {
        for (std::uint32_t permissions : {0600u, 0644u, 0666u}) {
            SCOPED_TRACE(::testing::Message() << KindName(kind) << " " << std::oct << permissions);
            const std::string name = "out-" + std::to_string(permissions);
            CreatedUnnamedFile created = Create(files_, kind, dir_.string(), {permissions, ::getegid()});
            ASSERT_TRUE(created.file);
            struct stat info {};
            if (kind == Unnamed::ByTheSystem) {
                EXPECT_EQ(UnnamedFileModes(dir_), std::vector<std::uint32_t>{permissions & 0755}) << "before the name";
            } else {
                ASSERT_EQ(::stat((dir_ / Entries(dir_).front()).c_str(), &info), 0);
                EXPECT_EQ(info.st_mode & 07777, permissions & 0755) << "before the name";
            }
            ASSERT_EQ(created.file->Publish(At(name.c_str())), PublishStatus::Published);
            ASSERT_EQ(::stat(At(name.c_str()).c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & 07777, permissions & 0755);
            fs::remove(At(name.c_str()));
        }
    }
    ::umask(saved);
}

// Bytes that cannot all be stored before the name is given: the first
// buffer's worth goes through, the rest fails when it is stored at the end.
class LastStoreFails {
public:
    LastStoreFails()
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedSignal_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{FileBufferSize + 4096, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~LastStoreFails()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedSignal_);
    }

private:
    rlimit saved_{};
    void (*savedSignal_)(int) = SIG_DFL;
};

TEST_F(FileSystemTest, AFailingLastStoreOrNamingLeavesNoFileUnderTheName)
{
    const std::vector<std::uint8_t> bytes = Pattern(3 * FileBufferSize / 2);
    const std::string tooLong(300, 'n'); // longer than any file system takes
    const struct {
        const char* name;
        bool lastStoreFails;
        std::string path;
        const char* reason;
    } cases[] = {
        {"last store fails", true, At("out-dec.txt"), "File too large"},
        {"naming fails", false, At(tooLong.c_str()), "File name too long"},
    };
    for (const Unnamed kind : {Unnamed::ByTheSystem, Unnamed::UnderATemporaryName}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << KindName(kind) << ", " << c.name);
            CreatedUnnamedFile created = Create(files_, kind, dir_.string());
            ASSERT_EQ(created.status, UnnamedStatus::Created);
            PublishStatus status = PublishStatus::Published;
            {
                std::optional<LastStoreFails> limit;
                if (c.lastStoreFails) limit.emplace();
                // In pieces too small to go straight to the file, so that the
                // last half buffer waits to be stored.
                constexpr std::size_t piece = DirectTransferSize / 2;
                for (std::size_t at = 0; at < bytes.size(); at += piece)
                    ASSERT_TRUE(created.file->Write(std::span(bytes).subspan(at, piece)));
                status = created.file->Publish(c.path);
            }
            EXPECT_EQ(status, PublishStatus::Failed);
            EXPECT_EQ(created.file->FailureReason(), c.reason);
            EXPECT_EQ(created.file->Publish(At("later-dec.txt")), PublishStatus::Failed) << "failed for good";
            EXPECT_EQ(Entries(dir_), std::vector<std::string>{}); // neither the name nor a temporary one
        }
    }
}

// From now on close(fd) fails with code in this process, as it does on file
// systems that report a lost write only at the close. The filter cannot be
// taken back: for a child process only.
bool MakeCloseFail(int fd, int code)
{
#if defined(__x86_64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_AARCH64;
#else
    return false;
#endif
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_close, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[0])), // the low half on these processors
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<std::uint32_t>(fd), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<std::uint32_t>(code) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

TEST_F(FileSystemTest, AnUnnamedOutputWhoseCloseFailsAfterItsLinkGivesTheNameBack)
{
    const std::string path = At("out-dec.txt");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int fd = ::open(dir_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) ::_exit(2);
        UnnamedDescriptorOutputFile file(fd);
        if (!file.Write(Pattern(1000)) || !MakeCloseFail(fd, EIO)) ::_exit(3);
        const bool failed = file.Publish(path) == PublishStatus::Failed;
        ::_exit(failed && file.FailureReason() == "Input/output error" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: published, 2: no unnamed file, 3: no filter";
    EXPECT_FALSE(fs::exists(path));
}

// Network shares and FUSE file systems have no unnamed files and rename only
// with replacing: outputs are written under a temporary name and named by a
// link, or where there are no links, by claiming the name first.
TEST_F(FileSystemTest, OnAShareOutputsAreNamedOnlyWholeAndNeverOverAnExistingFile)
{
    if (const std::string why = testing::PassthroughMount::Unavailable(); !why.empty()) GTEST_SKIP() << why;
    const fs::path backing = dir_ / "backing";
    const fs::path share = dir_ / "share";
    const std::vector<std::uint8_t> bytes = Pattern(3 * FileBufferSize / 2);
    const struct {
        const char* name;
        testing::PassthroughFaults faults;
        PublishStatus taken, free; // naming it as a taken name, then as a free one
        const char* reason;
    } cases[] = {
        {"named by a link", {}, PublishStatus::NameTaken, PublishStatus::Published, ""},
        {"no links", {0, EPERM}, PublishStatus::NameTaken, PublishStatus::Published, ""},
        {"the close fails", {EIO, 0}, PublishStatus::Failed, PublishStatus::Failed, "Input/output error"},
        {"the link fails", {0, EIO}, PublishStatus::NameTaken, PublishStatus::Failed, "Input/output error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::create_directories(backing);
        fs::create_directories(share);
        std::ofstream(backing / "taken-dec.txt") << "keep me";
        {
            const testing::PassthroughMount mount(backing, share, c.faults);
            ASSERT_EQ(mount.Failure(), "");
            EXPECT_EQ(files_.CreateUnnamed(share.string(), {}).status, UnnamedStatus::Unsupported);
            CreatedUnnamedFile created = files_.CreateUnderTemporaryName(share.string(), {});
            ASSERT_EQ(created.status, UnnamedStatus::Created) << created.error;
            ASSERT_TRUE(created.file->Write(bytes));

            EXPECT_EQ(created.file->Publish((share / "taken-dec.txt").string()), c.taken);
            EXPECT_EQ(created.file->Publish((share / "mine-dec.txt").string()), c.free);
            EXPECT_EQ(created.file->FailureReason(), c.reason);
        }
        EXPECT_EQ(Contents((backing / "taken-dec.txt").string()), "keep me");
        const bool named = c.free == PublishStatus::Published;
        const std::vector<std::string> left = named ? std::vector<std::string>{"mine-dec.txt", "taken-dec.txt"}
                                                    : std::vector<std::string>{"taken-dec.txt"};
        EXPECT_EQ(Entries(backing), left); // no temporary name either
        if (named) {
            EXPECT_EQ(Contents((backing / "mine-dec.txt").string()), std::string(bytes.begin(), bytes.end()));
        }
        fs::remove_all(backing);
    }
}

} // namespace
} // namespace vantrel::platform
