#pragma once
// SHA-256 of a text that arrives in pieces. The key check keeps long texts
// as a digest rather than in memory; a collision would take a break of
// SHA-256, so comparing digests decides exactly as comparing the bytes.
#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace vantrel::engine {

class TextDigest {
public:
    using Value = std::array<std::uint8_t, 32>;

    // Every operation throws (std::bad_alloc, std::runtime_error) rather than
    // give a wrong digest.
    TextDigest();
    ~TextDigest();
    TextDigest(const TextDigest&) = delete;
    TextDigest& operator=(const TextDigest&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added so far; more may be added afterwards.
    Value Current() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vantrel::engine
