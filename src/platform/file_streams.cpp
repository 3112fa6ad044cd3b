#include "platform/file_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform {
namespace {

enum class Renamed { Yes, NameTaken, Failed };

// Gives the file at `from` the name `to` unless something has that name.
// errno says why after Failed.
Renamed RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return Renamed::Yes;
    if (errno == EEXIST) return Renamed::NameTaken;
    // NFS and many FUSE file systems rename only with replacing; a second
    // link is made only where the name is free.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return Renamed::Failed;
    if (::link(from.c_str(), to.c_str()) == 0) {
        // Should the temporary name stay, it is a hidden second name of a
        // complete output: nothing is lost.
        ::unlink(from.c_str());
        return Renamed::Yes;
    }
    if (errno == EEXIST) return Renamed::NameTaken;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return Renamed::Failed;
    // No links either: claim the name with an empty file of our own, which
    // the rename then replaces. Only a process killed between the two can
    // leave an empty file behind, never a partial one.
    const int claim = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) return errno == EEXIST ? Renamed::NameTaken : Renamed::Failed;
    ::close(claim);
    if (::rename(from.c_str(), to.c_str()) == 0) return Renamed::Yes;
    const int code = errno;
    ::unlink(to.c_str());
    errno = code;
    return Renamed::Failed;
}

} // namespace

FileStamp StampOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

namespace {

// Every byte is written before it is read; no need to clear them.
std::unique_ptr<std::uint8_t[]> NewBuffer(std::size_t size)
{
    return std::make_unique_for_overwrite<std::uint8_t[]>(size);
}

} // namespace

DescriptorInputFile::DescriptorInputFile(int fd, std::size_t bufferSize) : fd_(fd), bufferSize_(bufferSize) {}

DescriptorInputFile::~DescriptorInputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool DescriptorInputFile::Rewind()
{
    begin_ = end_ = 0;
    failed_ = false;
    reason_.clear();
    if (::lseek(fd_, 0, SEEK_SET) == 0) return true;
    reason_ = SystemErrorText(errno);
    return false;
}

std::optional<std::int64_t> DescriptorInputFile::Size()
{
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < 0) {
        reason_ = SystemErrorText(errno);
        return std::nullopt;
    }
    begin_ = end_ = 0;
    return static_cast<std::int64_t>(end);
}

std::optional<std::uint32_t> DescriptorInputFile::Permissions() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(info.st_mode & 07777);
}

std::optional<FileStamp> DescriptorInputFile::Stamp() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return StampOf(info);
}

std::optional<std::uint32_t> DescriptorInputFile::Group() const
{
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<std::uint32_t>(info.st_gid);
}

std::size_t DescriptorInputFile::ReadFromDescriptor(std::uint8_t* into, std::size_t count)
{
    for (;;) {
        const ssize_t got = ::read(fd_, into, count);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno == EINTR) continue;
        failed_ = true;
        reason_ = SystemErrorText(errno);
        return 0;
    }
}

std::size_t DescriptorInputFile::Read(std::span<std::uint8_t> buffer)
{
    if (buffer.empty() || failed_) return 0;
    if (begin_ == end_) {
        if (buffer.size() >= std::min(bufferSize_, DirectTransferSize))
            return ReadFromDescriptor(buffer.data(), buffer.size());
        if (!buffer_) buffer_ = NewBuffer(bufferSize_);
        begin_ = 0;
        end_ = ReadFromDescriptor(buffer_.get(), bufferSize_);
        if (end_ == 0) return 0;
    }
    const std::size_t count = std::min(buffer.size(), end_ - begin_);
    std::memcpy(buffer.data(), buffer_.get() + begin_, count);
    begin_ += count;
    return count;
}

DescriptorOutputFile::DescriptorOutputFile(int fd, std::size_t bufferSize) : fd_(fd), bufferSize_(bufferSize) {}

DescriptorOutputFile::~DescriptorOutputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool DescriptorOutputFile::Fail(int code)
{
    failed_ = true;
    reason_ = SystemErrorText(code);
    return false;
}

bool DescriptorOutputFile::WriteToDescriptor(const std::uint8_t* from, std::size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(fd_, from, count);
        if (put < 0 && errno == EINTR) continue;
        // A write that stores nothing without an error would repeat forever.
        if (put == 0) return Fail(EIO);
        if (put < 0) return Fail(errno);
        from += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

bool DescriptorOutputFile::Flush()
{
    if (failed_ || fd_ < 0) return false;
    if (used_ == 0) return true;
    const bool written = WriteToDescriptor(buffer_.get(), used_);
    used_ = 0;
    return written;
}

bool DescriptorOutputFile::Write(std::span<const std::uint8_t> bytes)
{
    if (failed_ || fd_ < 0) return false;
    if (bytes.size() >= std::min(bufferSize_, DirectTransferSize))
        return Flush() && WriteToDescriptor(bytes.data(), bytes.size());
    if (used_ + bytes.size() > bufferSize_ && !Flush()) return false;
    if (!buffer_) buffer_ = NewBuffer(bufferSize_);
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return true;
}

bool DescriptorOutputFile::Close()
{
    if (fd_ < 0) return false;
    const bool flushed = Flush();
    const int closed = ::close(fd_);
    fd_ = -1;
    // The flush's reason comes first: it is what lost the bytes.
    if (closed != 0 && flushed) return Fail(errno);
    return flushed;
}

UnnamedDescriptorOutputFile::UnnamedDescriptorOutputFile(int fd, std::size_t bufferSize) : file_(fd, bufferSize) {}

std::string UnnamedDescriptorOutputFile::FailureReason() const
{
    return reason_.empty() ? file_.FailureReason() : reason_;
}

PublishStatus UnnamedDescriptorOutputFile::Publish(const std::string& path)
{
    if (over_) return PublishStatus::Failed;
    // Every byte is stored before the name is given, so that a name never
    // stands for less than the whole output.
    if (!flushed_ && !file_.Flush()) {
        over_ = true;
        file_.Close();
        return PublishStatus::Failed;
    }
    flushed_ = true;
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        if (errno == EEXIST) return PublishStatus::NameTaken;
        reason_ = SystemErrorText(errno);
        over_ = true;
        file_.Close();
        return PublishStatus::Failed;
    }
    over_ = true;
    // Some file systems report a lost write only at the close; the name must
    // not outlive such a file.
    if (!file_.Close()) {
        ::unlink(path.c_str());
        return PublishStatus::Failed;
    }
    return PublishStatus::Published;
}

TemporaryNameOutputFile::TemporaryNameOutputFile(int fd, std::string temporaryPath, std::size_t bufferSize)
    : file_(fd, bufferSize), temporaryPath_(std::move(temporaryPath))
{
}

TemporaryNameOutputFile::~TemporaryNameOutputFile()
{
    if (!over_) ::unlink(temporaryPath_.c_str());
}

std::string TemporaryNameOutputFile::FailureReason() const
{
    return reason_.empty() ? file_.FailureReason() : reason_;
}

PublishStatus TemporaryNameOutputFile::Abandon()
{
    over_ = true;
    file_.Close();
    ::unlink(temporaryPath_.c_str());
    return PublishStatus::Failed;
}

PublishStatus TemporaryNameOutputFile::Publish(const std::string& path)
{
    if (over_) return PublishStatus::Failed;
    if (!closed_) {
        if (!file_.Close()) return Abandon();
        closed_ = true;
    }
    switch (RenameWithoutReplacing(temporaryPath_, path)) {
    case Renamed::Yes: over_ = true; return PublishStatus::Published;
    case Renamed::NameTaken: return PublishStatus::NameTaken;
    case Renamed::Failed: break;
    }
    reason_ = SystemErrorText(errno);
    return Abandon();
}

} // namespace vantrel::platform
