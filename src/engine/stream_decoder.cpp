#include "engine/stream_decoder.h"

#include <cstring>

namespace vantrel::engine {

namespace {

// A check byte is deciphered with the fixed table first, then the user table.
DecipherLookup ComposeCheckLookup(const DecipherLookup& user, const DecipherLookup& fixed)
{
    DecipherLookup composed{};
    for (std::size_t b = 0; b < composed.size(); ++b)
        composed[b] = user[fixed[b]];
    return composed;
}

} // namespace

StreamDecoder::StreamDecoder(const DecodeTables& tables, bool keyCheck)
    : userLookup_(BuildDecipherLookup(tables.user)),
      checkLookup_(ComposeCheckLookup(userLookup_, BuildDecipherLookup(tables.fixed))),
      keyCheck_(keyCheck, checkLookup_)
{
}

std::size_t StreamDecoder::Decode(std::span<const std::uint8_t> input, std::uint8_t* output)
{
    if (keyRejected_)
        return 0;
    std::size_t done = 0;
    while (done < input.size()) {
        const std::size_t runLength = FindMarkerByte(input.data() + done, input.size() - done);
        if (runLength > 0) {
            DecodeRun(input.subspan(done, runLength), output + done);
            done += runLength;
        }
        if (done == input.size())
            break;
        if (!DecodeMarkerByte(input[done], output + done))
            return done;
        ++done;
    }
    return done;
}

void StreamDecoder::DecodeRun(std::span<const std::uint8_t> run, std::uint8_t* output)
{
    keyCheck_.GatherRun(run);
    if (deciphering_) {
        for (std::size_t i = 0; i < run.size(); ++i)
            output[i] = userLookup_[run[i]];
    } else {
        std::memcpy(output, run.data(), run.size());
    }
    window_.PushRun(run);
}

bool StreamDecoder::DecodeMarkerByte(std::uint8_t b, std::uint8_t* output)
{
    window_.Push(b);
    if (!keyCheck_.Step(window_, b)) {
        keyRejected_ = true;
        return false;
    }
    if (window_.EndsWithFiveOf(RegionOnByte))
        deciphering_ = true;
    else if (window_.EndsWithFiveOf(RegionOffByte))
        deciphering_ = false;
    *output = deciphering_ ? userLookup_[b] : b;
    return true;
}

} // namespace vantrel::engine
