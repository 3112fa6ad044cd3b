#pragma once
// A fingerprint of a text that arrives in pieces, so that the key check can
// tell whether two long texts are the same without keeping them.
//
// The text, cut into 16-byte blocks X1 ... Xn (the last one filled up with
// zeros), is read as a polynomial over GF(2^128) and evaluated at a point H
// drawn at random once per process: X1·H^n + X2·H^(n-1) + ... + Xn·H.
// Whoever writes a file cannot know H. Two different texts of the same
// length differ by a polynomial of degree at most n that is not zero, which
// has at most n roots, so they get the same fingerprint with a chance of at
// most n / (2^128 - 1): comparing fingerprints (and lengths, which the
// fingerprint leaves to the caller) decides as comparing the bytes would,
// whatever the file holds. With the carry-less multiplication of x86-64
// processors, fingerprinting a text costs less than copying it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vantrel::engine {

class TextDigest {
public:
    using Value = std::array<std::uint8_t, 16>;
    // 16 bytes, least significant first: byte j bit b is the coefficient of x^(8j+b).
    using Point = std::array<std::uint8_t, 16>;

    // How the polynomial is evaluated; every path gives the same value.
    enum class Path {
        Portable,  // a table of the point's multiples, a byte at a time
        Clmul,     // carry-less multiplication, four blocks at a time (x86-64 PCLMULQDQ)
        WideClmul, // thirty-two blocks at a time in 64-byte vectors (VPCLMULQDQ, AVX-512)
    };
    static bool PathAvailable(Path path);
    static std::vector<Path> AvailablePaths();

    // The process's point on the fastest path. Throws std::runtime_error
    // when no random point can be had, rather than fingerprint predictably.
    TextDigest();
    // A given point (not zero) on a given path that is available: for tests.
    TextDigest(const Point& point, Path path);
    ~TextDigest();
    TextDigest(const TextDigest&) = delete;
    TextDigest& operator=(const TextDigest&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The fingerprint of everything added so far; more may be added afterwards.
    Value Current() const;

    struct Key;

private:
    std::shared_ptr<const Key> key_;
    Path path_;
    std::array<std::uint64_t, 2> sum_{}; // the blocks so far, Horner's way: low, high 64 coefficients
    std::array<std::uint8_t, 16> partial_{};
    std::size_t partialSize_ = 0; // bytes of the block not yet complete
};

} // namespace vantrel::engine
