#pragma once
// Files on descriptors with large buffers: decoding moves every byte of a
// source through these, so system calls must stay rare.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"

struct stat;

namespace vantrel::platform {

inline constexpr std::size_t FileBufferSize = 1u << 20;

// Reads and writes of at least this many bytes (or of the whole buffer) go
// straight between the caller's memory and the file whenever nothing waits
// in the buffer: the decoder moves whole chunks, for which a buffer would
// only add a copy. The buffer is made only when smaller pieces come.
inline constexpr std::size_t DirectTransferSize = 4096;

// The stamp of a file as stat() or fstat() described it.
FileStamp StampOf(const struct stat& info);

// Reads an open descriptor, which it owns and closes.
class DescriptorInputFile final : public InputFile {
public:
    explicit DescriptorInputFile(int fd, std::size_t bufferSize = FileBufferSize);
    ~DescriptorInputFile() override;
    DescriptorInputFile(const DescriptorInputFile&) = delete;
    DescriptorInputFile& operator=(const DescriptorInputFile&) = delete;

    bool Rewind() override;
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    bool Failed() const override { return failed_; }
    std::optional<std::int64_t> Size() override;
    std::optional<std::uint32_t> Permissions() const override;
    std::optional<FileStamp> Stamp() const override;
    std::optional<std::uint32_t> Group() const override;
    std::string FailureReason() const override { return reason_; }

private:
    std::size_t ReadFromDescriptor(std::uint8_t* into, std::size_t count);

    int fd_;
    std::size_t bufferSize_;
    std::unique_ptr<std::uint8_t[]> buffer_; // made at the first small read
    std::size_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool failed_ = false;
    std::string reason_;
};

// Writes to an open descriptor, which it owns and closes.
class DescriptorOutputFile final : public OutputFile {
public:
    explicit DescriptorOutputFile(int fd, std::size_t bufferSize = FileBufferSize);
    ~DescriptorOutputFile() override;
    DescriptorOutputFile(const DescriptorOutputFile&) = delete;
    DescriptorOutputFile& operator=(const DescriptorOutputFile&) = delete;

    // Once a write has failed every later one fails too, so that a gap in
    // the middle of an output can never go unnoticed.
    bool Write(std::span<const std::uint8_t> bytes) override;
    // Stores what is buffered; the descriptor stays open. False when any
    // byte written so far could not be stored.
    bool Flush();
    bool Close() override;
    std::string FailureReason() const override { return reason_; }
    int Descriptor() const { return fd_; }

private:
    bool WriteToDescriptor(const std::uint8_t* from, std::size_t count);
    bool Fail(int code);

    int fd_;
    std::size_t bufferSize_;
    std::unique_ptr<std::uint8_t[]> buffer_; // made at the first small write
    std::size_t used_ = 0;
    bool failed_ = false;
    std::string reason_;
};

// An O_TMPFILE descriptor that becomes a named file by linkat() through
// /proc/self/fd: the name appears with the whole content behind it, or not
// at all.
class UnnamedDescriptorOutputFile final : public UnnamedOutputFile {
public:
    explicit UnnamedDescriptorOutputFile(int fd, std::size_t bufferSize = FileBufferSize);

    bool Write(std::span<const std::uint8_t> bytes) override { return file_.Write(bytes); }
    PublishStatus Publish(const std::string& path) override;
    std::string FailureReason() const override;

private:
    DescriptorOutputFile file_;
    bool flushed_ = false;
    bool over_ = false;
    std::string reason_;
};

// A file under a hidden temporary name in its output's folder, for file
// systems without unnamed files (network shares, FUSE). It is closed before
// it takes its name, so that a write the system reports lost only at the
// close (as network file systems do) keeps it from being named at all. The
// name is taken without ever replacing an entry; a file that is dropped or
// fails takes its temporary name away with it.
class TemporaryNameOutputFile final : public UnnamedOutputFile {
public:
    // fd is open for writing on the file at temporaryPath; the object owns both.
    TemporaryNameOutputFile(int fd, std::string temporaryPath, std::size_t bufferSize = FileBufferSize);
    ~TemporaryNameOutputFile() override;
    TemporaryNameOutputFile(const TemporaryNameOutputFile&) = delete;
    TemporaryNameOutputFile& operator=(const TemporaryNameOutputFile&) = delete;

    bool Write(std::span<const std::uint8_t> bytes) override { return file_.Write(bytes); }
    PublishStatus Publish(const std::string& path) override;
    std::string FailureReason() const override;

private:
    PublishStatus Abandon();

    DescriptorOutputFile file_;
    std::string temporaryPath_;
    bool closed_ = false;
    bool over_ = false; // published, or abandoned
    std::string reason_;
};

} // namespace vantrel::platform
