#include "platform/posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_streams.h"

namespace vantrel::platform {
namespace {

bool StatIs(const std::string& path, mode_t kind)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

OpenedFile OpenFailure(int fd, std::string error)
{
    if (fd >= 0) ::close(fd);
    return {nullptr, std::move(error)};
}

CreatedUnnamedFile CreateFailure(int code)
{
    return {UnnamedStatus::Failed, nullptr, SystemErrorText(code)};
}

// Gives the file on fd the group; true when it has it afterwards, also where
// the system refused a change that was not needed.
bool TakeGroup(int fd, std::uint32_t group)
{
    if (::fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(group)) == 0) return true;
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_gid == group;
}

// Clears the group bits of a file whose group is not the source's. A file
// system that keeps no modes of its own (FAT, some shares) refuses, and its
// files are then as open as its mount makes them, whatever is asked.
void ClearGroupBits(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) == 0) ::fchmod(fd, info.st_mode & 07777 & ~mode_t{070});
}

// The process's umask as the kernel reports it, without changing it (which
// would race with the other threads' files); nothing on kernels before 4.7.
std::optional<mode_t> CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (!line.starts_with("Umask:")) continue;
        try {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8) & 0777);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// Hidden, and without the ".txt" that every output name ends in.
std::string TemporaryName()
{
    static constexpr char letters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
    std::string name = ".vantrel-";
    for (int i = 0; i < 12; ++i) name += letters[pick(random)];
    return name;
}

} // namespace

std::string SystemErrorText(int code)
{
    char buffer[256];
    // The GNU strerror_r, which may return a static text instead of the buffer.
    return ::strerror_r(code, buffer, sizeof buffer);
}

OpenedFile PosixFileSystem::OpenForReading(const std::string& path)
{
    // Non-blocking at first, so that a named pipe given as a source cannot
    // hang the open; only regular files are decoded.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return OpenFailure(fd, SystemErrorText(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0) return OpenFailure(fd, SystemErrorText(errno));
    if (S_ISDIR(info.st_mode)) return OpenFailure(fd, SystemErrorText(EISDIR));
    if (!S_ISREG(info.st_mode)) return OpenFailure(fd, "Not a regular file");
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) return OpenFailure(fd, SystemErrorText(errno));
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return {std::make_unique<DescriptorInputFile>(fd), {}};
}

CreatedUnnamedFile PosixFileSystem::CreateUnnamed(const std::string& folder, const OutputAccess& access)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(access.permissions));
    if (fd < 0) {
        // Kernels and file systems without unnamed files answer in these
        // ways (an old kernel sees only O_DIRECTORY in O_TMPFILE).
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return {UnnamedStatus::Unsupported, nullptr, {}};
        return CreateFailure(errno);
    }
    // The name is given through /proc; without it the file could never get one.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::access(self.c_str(), F_OK) != 0) {
        ::close(fd);
        return {UnnamedStatus::Unsupported, nullptr, {}};
    }
    // Nobody can open a file without a name: its group bits may stay until
    // the group is settled.
    if (access.group && !TakeGroup(fd, *access.group)) ClearGroupBits(fd);
    return {UnnamedStatus::Created, std::make_unique<UnnamedDescriptorOutputFile>(fd), {}};
}

CreatedUnnamedFile PosixFileSystem::CreateUnderTemporaryName(const std::string& folder, const OutputAccess& access)
{
    // A file with a name can be opened by anyone its bits allow, and keeps
    // being readable to whoever opened it: it starts without group bits, which
    // it gets only once it is in the source's group.
    const std::uint32_t groupBits = access.group ? access.permissions & 070u : 0u;
    const mode_t startMode = static_cast<mode_t>(access.permissions & ~groupBits);
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    // A clash with a name another program has is retried; a hundred of them
    // in a row mean something keeps taking the names.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = prefix + TemporaryName();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, startMode);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) return CreateFailure(errno);
        auto file = std::make_unique<TemporaryNameOutputFile>(fd, std::move(path));
        if (access.group && TakeGroup(fd, *access.group) && groupBits != 0) {
            // Without the umask's word the bits stay off: more private, never less.
            struct stat info {};
            if (const auto mask = CurrentUmask(); mask && ::fstat(fd, &info) == 0)
                ::fchmod(fd, (info.st_mode & 07777) | (groupBits & ~*mask));
        }
        return {UnnamedStatus::Created, std::move(file), {}};
    }
    return CreateFailure(EEXIST);
}

bool PosixFileSystem::FileExists(const std::string& path) const
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::optional<FileStamp> PosixFileSystem::Stamp(const std::string& path) const
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
    return StampOf(info);
}

bool PosixFileSystem::FolderExists(const std::string& path) const
{
    return StatIs(path, S_IFDIR);
}

std::string PosixFileSystem::CreateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0) return {};
    const int code = errno;
    if (code == EEXIST && FolderExists(path)) return {};
    return SystemErrorText(code);
}

} // namespace vantrel::platform
