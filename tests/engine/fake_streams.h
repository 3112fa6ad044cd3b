#pragma once
// Sources and sinks that misbehave on purpose, for the I/O paths of DecodeStream.
#include <algorithm>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/byte_stream.h"

namespace vantrel::engine::testing {

// Hands out at most `limit` bytes per read, however large the buffer; then,
// if failAfter is set, fails instead of reaching the end.
class TrickleSource final : public ByteSource {
public:
    TrickleSource(std::string bytes, std::function<std::size_t()> limit, bool failAtEnd = false,
                  bool canRewind = true)
        : bytes_(std::move(bytes)), limit_(std::move(limit)), failAtEnd_(failAtEnd), canRewind_(canRewind)
    {
    }

    bool Rewind() override
    {
        if (canRewind_)
            position_ = 0;
        return canRewind_;
    }

    std::size_t Read(std::span<std::uint8_t> buffer) override
    {
        ++reads_;
        const std::size_t count = std::min({buffer.size(), limit_(), bytes_.size() - position_});
        std::memcpy(buffer.data(), bytes_.data() + position_, count);
        position_ += count;
        if (count == 0 && failAtEnd_)
            failed_ = true;
        return count;
    }

    bool Failed() const override { return failed_; }
    int Reads() const { return reads_; }
    // Starts the source somewhere other than its first byte.
    void SkipTo(std::size_t position) { position_ = position; }

private:
    std::string bytes_;
    std::function<std::size_t()> limit_;
    bool failAtEnd_;
    bool canRewind_;
    bool failed_ = false;
    std::size_t position_ = 0;
    int reads_ = 0;
};

// Takes `goodWrites` writes, then refuses every further one, or throws.
class FailingSink final : public ByteSink {
public:
    explicit FailingSink(int goodWrites, bool throws = false) : goodWrites_(goodWrites), throws_(throws) {}

    bool Write(std::span<const std::uint8_t> bytes) override
    {
        if (goodWrites_ == 0 && throws_)
            throw std::runtime_error("write");
        if (goodWrites_ == 0)
            return false;
        --goodWrites_;
        bytes_.append(bytes.begin(), bytes.end());
        return true;
    }

    const std::string& Bytes() const { return bytes_; }

private:
    int goodWrites_;
    bool throws_;
    std::string bytes_;
};

} // namespace vantrel::engine::testing
