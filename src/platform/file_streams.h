#pragma once
// Files on descriptors with large buffers: decoding moves every byte of a
// source through these, so system calls must stay rare.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::platform {

inline constexpr std::size_t FileBufferSize = 1u << 20;

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

private:
    std::size_t ReadFromDescriptor(std::uint8_t* into, std::size_t count);

    int fd_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::size_t end_ = 0;
    bool failed_ = false;
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
    bool Close() override;

private:
    bool Flush();
    bool WriteToDescriptor(const std::uint8_t* from, std::size_t count);

    int fd_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

} // namespace vantrel::platform
