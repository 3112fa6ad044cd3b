#pragma once
// A fingerprint of a text that arrives in pieces, so that the key check can
// tell whether two long texts are the same without keeping them.
//
// The fingerprint is a GMAC (AES-256) under a key drawn at random once per
// process. Whoever writes a file cannot know that key, so two different
// texts get the same fingerprint with a chance of at most (n + 1) / 2^128
// for texts of n 16-byte blocks: comparing fingerprints decides as
// comparing the bytes would, whatever the file holds. It is also several
// times faster than an unkeyed hash such as SHA-256, fast enough for a field
// as long as its file to cost little more than copying it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace vantrel::engine {

class TextDigest {
public:
    using Value = std::array<std::uint8_t, 16>;

    // Every operation throws (std::bad_alloc, std::runtime_error) rather
    // than give a wrong fingerprint.
    TextDigest();
    ~TextDigest();
    TextDigest(const TextDigest&) = delete;
    TextDigest& operator=(const TextDigest&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The fingerprint of everything added so far; more may be added afterwards.
    Value Current() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vantrel::engine
