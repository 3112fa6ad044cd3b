#include "platform/file_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vantrel::platform {

DescriptorInputFile::DescriptorInputFile(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {}

DescriptorInputFile::~DescriptorInputFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool DescriptorInputFile::Rewind()
{
    begin_ = end_ = 0;
    failed_ = false;
    return ::lseek(fd_, 0, SEEK_SET) == 0;
}

std::optional<std::int64_t> DescriptorInputFile::Size()
{
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    if (end < 0) return std::nullopt;
    begin_ = end_ = 0;
    return static_cast<std::int64_t>(end);
}

std::size_t DescriptorInputFile::ReadFromDescriptor(std::uint8_t* into, std::size_t count)
{
    for (;;) {
        const ssize_t got = ::read(fd_, into, count);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno == EINTR) continue;
        failed_ = true;
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

bool DescriptorOutputFile::WriteToDescriptor(const std::uint8_t* from, std::size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(fd_, from, count);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        from += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

bool DescriptorOutputFile::Flush()
{
    if (used_ == 0) return true;
    const bool written = WriteToDescriptor(buffer_.data(), used_);
    used_ = 0;
    return written;
}

bool DescriptorOutputFile::Write(std::span<const std::uint8_t> bytes)
{
    if (failed_ || fd_ < 0) return false;
    if (used_ + bytes.size() > buffer_.size()) {
        if (!Flush()) return !(failed_ = true);
        if (bytes.size() >= buffer_.size()) {
            if (!WriteToDescriptor(bytes.data(), bytes.size())) return !(failed_ = true);
            return true;
        }
    }
    std::memcpy(buffer_.data() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
    return true;
}

bool DescriptorOutputFile::Close()
{
    if (fd_ < 0) return false;
    const bool flushed = !failed_ && Flush();
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return flushed && closed;
}

} // namespace vantrel::platform
