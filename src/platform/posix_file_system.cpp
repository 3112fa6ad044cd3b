#include "platform/posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

CreatedFile PosixFileSystem::CreateExclusive(const std::string& path, std::uint32_t permissions)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(permissions));
    if (fd >= 0) return {CreateStatus::Created, std::make_unique<DescriptorOutputFile>(fd), {}};
    if (errno == EEXIST) return {CreateStatus::AlreadyExists, nullptr, {}};
    return {CreateStatus::Failed, nullptr, SystemErrorText(errno)};
}

CreatedUnnamedFile PosixFileSystem::CreateUnnamed(const std::string& folder, std::uint32_t permissions)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, static_cast<mode_t>(permissions));
    if (fd < 0) {
        // Kernels and file systems without unnamed files answer in these
        // ways (an old kernel sees only O_DIRECTORY in O_TMPFILE).
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return {UnnamedStatus::Unsupported, nullptr, {}};
        return {UnnamedStatus::Failed, nullptr, SystemErrorText(errno)};
    }
    // The name is given through /proc; without it the file could never get one.
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::access(self.c_str(), F_OK) != 0) {
        ::close(fd);
        return {UnnamedStatus::Unsupported, nullptr, {}};
    }
    return {UnnamedStatus::Created, std::make_unique<UnnamedDescriptorOutputFile>(fd), {}};
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

bool PosixFileSystem::DeleteFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

} // namespace vantrel::platform
