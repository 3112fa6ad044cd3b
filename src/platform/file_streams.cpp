#include "platform/file_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::platform {

FileStamp StampOf(const struct stat& info)
{
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::int64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

DescriptorInputFile::DescriptorInputFile(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {}

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
        // A request as large as our buffer gains nothing from a copy.
        if (buffer.size() >= buffer_.size()) return ReadFromDescriptor(buffer.data(), buffer.size());
        begin_ = 0;
        end_ = ReadFromDescriptor(buffer_.data(), buffer_.size());
        if (end_ == 0) return 0;
    }
    const std::size_t count = std::min(buffer.size(), end_ - begin_);
    std::memcpy(buffer.data(), buffer_.data() + begin_, count);
    begin_ += count;
    return count;
}

DescriptorOutputFile::DescriptorOutputFile(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {}

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
    const bool written = WriteToDescriptor(buffer_.data(), used_);
    used_ = 0;
    return written;
}

bool DescriptorOutputFile::Write(std::span<const std::uint8_t> bytes)
{
    if (failed_ || fd_ < 0) return false;
    // A request as large as the buffer gains nothing from a copy.
    if (bytes.size() >= buffer_.size()) return Flush() && WriteToDescriptor(bytes.data(), bytes.size());
    if (used_ + bytes.size() > buffer_.size() && !Flush()) return false;
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
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

} // namespace vantrel::platform
