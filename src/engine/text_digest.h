#pragma once
// SHA-256 of a text that arrives in pieces. The key check keeps long texts
// as a digest rather than in memory; a collision would take a break of
// SHA-256, so comparing digests decides exactly as comparing the bytes.
//
// Hashing is slower than decoding, so once a text has filled a block the
// blocks are hashed on a thread of their own while decoding goes on; a
// block or two wait at most, which bounds the memory (MaxBytesHeld).
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/cipher_tables.h"

namespace vantrel::engine {

class TextDigest {
public:
    using Value = std::array<std::uint8_t, 32>;
    static constexpr std::size_t BlockSize = std::size_t{1} << 20;
    // One block filling, one waiting, one being hashed.
    static constexpr std::size_t MaxBytesHeld = 3 * BlockSize;

    // Every operation throws (std::bad_alloc, std::system_error,
    // std::runtime_error) rather than give a wrong digest.
    TextDigest();
    ~TextDigest();
    TextDigest(const TextDigest&) = delete;
    TextDigest& operator=(const TextDigest&) = delete;

    // translate, when given, maps each byte on its way in.
    void Add(std::span<const std::uint8_t> bytes, const DecipherLookup* translate = nullptr);
    // The digest of everything added so far; more may be added afterwards.
    Value Current();

private:
    struct State;
    void HandOver();
    std::unique_ptr<State> state_;
};

} // namespace vantrel::engine
