#pragma once
// The key check: numbered check fields after "~~~~~", paired as reference
// text and twice-enciphered check text. The first matching pair accepts the
// key; a mismatch in the fifth pair proves it wrong.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "engine/markers.h"
#include "engine/scan_kernels.h"
#include "engine/text_digest.h"

namespace vantrel::engine {

// How many bytes of each gathered text are held in memory. A field may be
// as long as its file; beyond the cap a text is kept as its length and a
// digest of the rest, which decides a comparison just as well. Both texts
// together stay under 2 * cap bytes, plus a digest's small state each.
inline constexpr std::size_t DefaultKeyCheckTextCap = std::size_t{2} << 20;
// The cap that new key checks take. Process-wide so that tests can lower it
// to a few bytes and drive every field through the digest.
std::size_t KeyCheckTextCap();
void SetKeyCheckTextCap(std::size_t bytes);

// A text gathered from check fields: its first `cap` bytes, its length, and
// a digest of the bytes beyond the cap.
class GatheredText {
public:
    explicit GatheredText(std::size_t cap) : cap_(cap) {}

    void Append(std::span<const std::uint8_t> bytes);
    // Empties the text; the memory stays for the next field.
    void Clear();
    // Empties the text and gives its memory back.
    void Release();

    std::uint64_t Size() const { return size_; }
    // The bytes kept in memory: the first min(Size(), cap) of the text.
    std::span<const std::uint8_t> Held() const { return held_; }
    // Same length and the same bytes.
    bool Equals(const GatheredText& other) const;

private:
    void Hold(std::span<const std::uint8_t> bytes);

    std::size_t cap_;
    std::vector<std::uint8_t> held_;
    std::uint64_t size_ = 0;
    std::unique_ptr<TextDigest> beyondCap_; // made when the text first passes the cap
};

class KeyCheck {
public:
    // checkLookup deciphers a check byte all the way (fixed table, then user
    // table), with the kernels' decipherAll.
    KeyCheck(bool enabled, const RegionLookup& checkLookup, const ScanKernels& kernels,
             std::size_t textCap = KeyCheckTextCap());

    // Runs the check for a byte that may complete a marker; the window
    // already holds it. False when this byte proves the key wrong.
    bool Step(const MarkerWindow& window, std::uint8_t b);

    // Gathers a run of bytes of which none completes a check marker (a
    // region marker may end inside it: regions do not affect the check).
    void GatherRun(std::span<const std::uint8_t> run);

    // Off, or over for this stream: no byte can change what it decides any more.
    bool Finished() const { return !Running(); }

private:
    enum class Gathering { Nothing, Reference, Check };
    Gathering WhatToGather() const;
    bool Running() const { return enabled_ && fieldCounter_ < CheckOver; }
    void Gather(std::span<const std::uint8_t> run);
    void GatherDeciphered(std::span<const std::uint8_t> run);
    void NoteDivergence();
    bool ComparePair(); // false: the key is wrong

    static constexpr int CheckOver = 15;
    static constexpr int LastCheckField = 14;

    bool enabled_;
    const RegionLookup& checkLookup_;
    const ScanKernels& kernels_;
    int fieldCounter_ = -1;
    bool inField_ = false;
    GatheredText referenceText_;
    GatheredText checkText_;
    // The texts only ever grow until a comparison empties them, so once they
    // differ at a byte both hold, every comparison before then fails: what
    // they hold no longer matters and is dropped.
    bool diverged_ = false;
    std::size_t agreed_ = 0; // leading held bytes known to be equal in both
};

} // namespace vantrel::engine
