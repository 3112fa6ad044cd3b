#include "engine/key_check.h"

namespace vantrel::engine {

KeyCheck::KeyCheck(bool enabled, const DecipherLookup& checkLookup)
    : enabled_(enabled), checkLookup_(checkLookup)
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

bool KeyCheck::ComparePair()
{
    if (referenceText_ == checkText_)
        fieldCounter_ = CheckOver;
    else if (fieldCounter_ == LastCheckField)
        return false;
    referenceText_.clear();
    checkText_.clear();
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
    } else if (window.EndsWithFieldCloser()) {
        inField_ = false;
        if (fieldCounter_ % 3 == 2 && !ComparePair())
            return false;
    }

    // The "#" of an opener belongs to the marker, not to the field.
    if (opener)
        return true;
    switch (WhatToGather()) {
    case Gathering::Reference: referenceText_.push_back(b); break;
    case Gathering::Check: checkText_.push_back(checkLookup_[b]); break;
    case Gathering::Nothing: break;
    }
    return true;
}

void KeyCheck::GatherRun(std::span<const std::uint8_t> run)
{
    switch (WhatToGather()) {
    case Gathering::Reference:
        referenceText_.insert(referenceText_.end(), run.begin(), run.end());
        break;
    case Gathering::Check:
        for (std::uint8_t b : run)
            checkText_.push_back(checkLookup_[b]);
        break;
    case Gathering::Nothing:
        break;
    }
}

} // namespace vantrel::engine
