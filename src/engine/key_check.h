#pragma once
// The key check: numbered check fields after "~~~~~", paired as reference
// text and twice-enciphered check text. The first matching pair accepts the
// key; a mismatch in the fifth pair proves it wrong.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/cipher_tables.h"
#include "engine/markers.h"

namespace vantrel::engine {

class KeyCheck {
public:
    // checkLookup deciphers a check byte all the way: fixed table, then user table.
    KeyCheck(bool enabled, const DecipherLookup& checkLookup);

    // Runs the check for a byte that may complete a marker; the window
    // already holds it. False when this byte proves the key wrong.
    bool Step(const MarkerWindow& window, std::uint8_t b);

    // Gathers a run of bytes of which none completes a marker.
    void GatherRun(std::span<const std::uint8_t> run);

    // Off, or over for this stream: no byte can change what it decides any more.
    bool Finished() const { return !Running(); }

private:
    enum class Gathering { Nothing, Reference, Check };
    Gathering WhatToGather() const;
    bool Running() const { return enabled_ && fieldCounter_ < CheckOver; }
    bool ComparePair(); // false: the key is wrong

    static constexpr int CheckOver = 15;
    static constexpr int LastCheckField = 14;

    bool enabled_;
    const DecipherLookup& checkLookup_;
    int fieldCounter_ = -1;
    bool inField_ = false;
    std::vector<std::uint8_t> referenceText_;
    std::vector<std::uint8_t> checkText_;
};

} // namespace vantrel::engine
