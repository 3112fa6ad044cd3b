#pragma once
// Byte sources and sinks that the stream decoder reads and writes in chunks.
// The file-backed pair lives in the batch layer; the memory-backed pair here
// serves tests and benchmarks.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantrel::engine {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Moves back to the first byte. False when the source cannot be repositioned.
    virtual bool Rewind() = 0;
    // Reads up to buffer.size() bytes. Returns the number read; 0 means the end
    // of the source, or a failure when Failed() turns true.
    virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
    virtual bool Failed() const = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all bytes, or returns false when any could not be written.
    virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool Rewind() override { position_ = 0; return true; }
    std::size_t Read(std::span<std::uint8_t> buffer) override;
    bool Failed() const override { return false; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

class MemorySink final : public ByteSink {
public:
    bool Write(std::span<const std::uint8_t> bytes) override;
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Clear() { bytes_.clear(); }

private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace vantrel::engine
