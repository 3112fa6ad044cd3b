#include "cli/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

#include "platform/file_system.h"

namespace vantrel::cli {
namespace {

// Large enough that a list of a million names takes few reads.
constexpr std::size_t ReadSize = 64 * 1024;

} // namespace

LineReader::LineReader(int fd, Rules rules, const std::function<bool()>& interrupted)
    : fd_(fd), ownsFd_(false), rules_(rules), interrupted_(interrupted)
{
}

LineReader::LineReader(const std::string& path, Rules rules, const std::function<bool()>& interrupted)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)), ownsFd_(true), rules_(rules),
      interrupted_(interrupted)
{
    if (fd_ < 0) openError_ = errno;
}

LineReader::~LineReader()
{
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
}

LineReader::Status LineReader::Fail(int code)
{
    error_ = platform::SystemErrorText(code);
    return Status::Failed;
}

LineReader::Status LineReader::Next(std::string& line)
{
    line.clear();
    lineEnded_ = false;
    ++lineNumber_;
    for (;;) {
        // Byte by byte: a list of nothing but separators (/dev/zero with
        // -0) should go by as fast as it is read.
        if (rules_.skipEmpty && line.empty()) {
            for (; start_ < filled_ && buffer_[start_] == rules_.separator; ++start_) ++lineNumber_;
        }
        if (start_ < filled_) {
            const std::string_view unread(buffer_.data() + start_, filled_ - start_);
            const std::size_t end = std::min(unread.find(rules_.separator), unread.size());
            const std::string_view piece = unread.substr(0, end);
            // Passed on, a name would end at its NUL and another file be decoded.
            if (rules_.refuseNul && piece.find('\0') != std::string_view::npos) return Status::HoldsNul;
            if (line.size() + piece.size() > rules_.longestLine) return Status::TooLong;
            line.append(piece);
            if (end < unread.size()) {
                start_ += end + 1;
                lineEnded_ = true;
                return Status::Line;
            }
            start_ = filled_;
        }
        if (atEnd_) return line.empty() ? Status::End : Status::Line;
        if (const std::optional<Status> failed = Fill()) return *failed;
    }
}

std::optional<LineReader::Status> LineReader::Fill()
{
    if (openError_ != 0) return Fail(openError_);
    if (fd_ < 0) return Fail(EBADF); // poll() would wait on it for ever
    if (buffer_.empty()) buffer_.resize(ReadSize);
    for (;;) {
        if (interrupted_()) return Status::Interrupted;
        if (window_.Wait(fd_) < 0) {
            if (errno == EINTR) continue;
            return Fail(errno);
        }
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return Fail(errno);
        }
        start_ = 0;
        filled_ = static_cast<std::size_t>(got);
        atEnd_ = got == 0;
        return std::nullopt;
    }
}

} // namespace vantrel::cli
