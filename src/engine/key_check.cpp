#include "engine/key_check.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

namespace vantrel::engine {
namespace {

std::atomic<std::size_t> textCap{DefaultKeyCheckTextCap};

} // namespace

std::size_t KeyCheckTextCap()
{
    return textCap.load(std::memory_order_relaxed);
}

void SetKeyCheckTextCap(std::size_t bytes)
{
    textCap.store(bytes, std::memory_order_relaxed);
}

void GatheredText::Append(std::span<const std::uint8_t> bytes)
{
    const std::size_t room = held_.size() < cap_ ? cap_ - held_.size() : 0;
    const std::size_t held = std::min(room, bytes.size());
    if (held > 0) Hold(bytes.first(held));
    if (held < bytes.size()) {
        if (!beyondCap_) beyondCap_ = std::make_unique<TextDigest>();
        beyondCap_->Add(bytes.subspan(held));
    }
    size_ += bytes.size();
}

void GatheredText::Hold(std::span<const std::uint8_t> bytes)
{
    const std::size_t at = held_.size();
    // Doubling, but never past the cap: the cap is what bounds the memory.
    if (at + bytes.size() > held_.capacity())
        held_.reserve(std::min(cap_, std::max(at + bytes.size(), 2 * held_.capacity())));
    held_.insert(held_.end(), bytes.begin(), bytes.end());
}

void GatheredText::Clear()
{
    held_.clear();
    size_ = 0;
    beyondCap_.reset();
}

void GatheredText::Release()
{
    Clear();
    held_.shrink_to_fit();
}

bool GatheredText::Equals(const GatheredText& other) const
{
    if (size_ != other.size_ || held_ != other.held_) return false;
    if (!beyondCap_ && !other.beyondCap_) return true;
    // Equal sizes past the cap: both have digested the same positions.
    return beyondCap_ && other.beyondCap_ && beyondCap_->Current() == other.beyondCap_->Current();
}

KeyCheck::KeyCheck(bool enabled, const RegionLookup& checkLookup, const ScanKernels& kernels, std::size_t textCap)
    : enabled_(enabled), checkLookup_(checkLookup), kernels_(kernels), referenceText_(textCap), checkText_(textCap)
{
}

KeyCheck::Gathering KeyCheck::WhatToGather() const
{
    if (!Running() || !inField_)
        return Gathering::Nothing;
    // The remainder keeps the sign of the counter: field -1 gathers nothing.
    switch (fieldCounter_ % 3) {
    case 1: return Gathering::Reference;
    case 2: return Gathering::Check;
    default: return Gathering::Nothing;
    }
}

void KeyCheck::Gather(std::span<const std::uint8_t> run)
{
    if (diverged_ || run.empty())
        return;
    switch (WhatToGather()) {
    case Gathering::Reference: referenceText_.Append(run); break;
    case Gathering::Check: GatherDeciphered(run); break;
    case Gathering::Nothing: return;
    }
    NoteDivergence();
}

void KeyCheck::GatherDeciphered(std::span<const std::uint8_t> run)
{
    // A piece at a time, small enough to stay in the cache.
    std::array<std::uint8_t, 16 * 1024> deciphered;
    while (!run.empty()) {
        const std::size_t n = std::min(run.size(), deciphered.size());
        kernels_.decipherAll(checkLookup_, run.data(), n, deciphered.data());
        checkText_.Append({deciphered.data(), n});
        run = run.subspan(n);
    }
}

void KeyCheck::NoteDivergence()
{
    const auto reference = referenceText_.Held();
    const auto check = checkText_.Held();
    const std::size_t common = std::min(reference.size(), check.size());
    if (common <= agreed_)
        return;
    if (std::memcmp(reference.data() + agreed_, check.data() + agreed_, common - agreed_) == 0) {
        agreed_ = common;
        return;
    }
    diverged_ = true;
    referenceText_.Release();
    checkText_.Release();
}

bool KeyCheck::ComparePair()
{
    if (!diverged_ && referenceText_.Equals(checkText_))
        fieldCounter_ = CheckOver;
    else if (fieldCounter_ == LastCheckField)
        return false;
    if (fieldCounter_ == CheckOver) {
        referenceText_.Release();
        checkText_.Release();
    } else {
        referenceText_.Clear();
        checkText_.Clear();
    }
    diverged_ = false;
    agreed_ = 0;
    return true;
}

bool KeyCheck::Step(const MarkerWindow& window, std::uint8_t b)
{
    if (!Running())
        return true;

    const bool opener = window.EndsWithFieldOpener();
    if (window.EndsWithFiveOf(CheckBlockByte)) {
        fieldCounter_ = 0;
    } else if (opener) {
        inField_ = true;
        ++fieldCounter_;
        // An opener can end the check too (14 -> 15); nothing is compared
        // any more, so nothing needs keeping.
        if (!Running()) {
            referenceText_.Release();
            checkText_.Release();
        }
    } else if (window.EndsWithFieldCloser()) {
        inField_ = false;
        if (fieldCounter_ % 3 == 2 && !ComparePair())
            return false;
    }

    // The "#" of an opener belongs to the marker, not to the field.
    if (!opener)
        Gather({&b, 1});
    return true;
}

void KeyCheck::GatherRun(std::span<const std::uint8_t> run)
{
    Gather(run);
}

} // namespace vantrel::engine
