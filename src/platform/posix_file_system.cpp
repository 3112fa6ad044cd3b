#include "platform/posix_file_system.h"

#include <cerrno>
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

} // namespace

std::unique_ptr<InputFile> PosixFileSystem::OpenForReading(const std::string& path)
{
    // Non-blocking at first, so that a named pipe given as a source cannot
    // hang the open; only regular files are decoded.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return std::make_unique<DescriptorInputFile>(fd);
}

CreatedFile PosixFileSystem::CreateExclusive(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return {CreateStatus::Created, std::make_unique<DescriptorOutputFile>(fd)};
    return {errno == EEXIST ? CreateStatus::AlreadyExists : CreateStatus::Failed, nullptr};
}

bool PosixFileSystem::FileExists(const std::string& path) const
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PosixFileSystem::FolderExists(const std::string& path) const
{
    return StatIs(path, S_IFDIR);
}

bool PosixFileSystem::CreateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    return errno == EEXIST && FolderExists(path);
}

bool PosixFileSystem::DeleteFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

} // namespace vantrel::platform
