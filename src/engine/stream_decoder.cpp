#include "engine/stream_decoder.h"

#include <algorithm>

namespace vantrel::engine {

namespace {

constexpr std::size_t CheckedSlice = 16 * 1024;

// A check byte is deciphered with the fixed table first, then the user table.
DecipherLookup ComposeCheckLookup(const DecipherLookup& user, const DecipherLookup& fixed)
{
    DecipherLookup composed{};
    for (std::size_t b = 0; b < composed.size(); ++b)
        composed[b] = user[fixed[b]];
    return composed;
}

} // namespace

StreamDecoder::StreamDecoder(const DecodeTables& tables, bool keyCheck, ScanPath path)
    : kernels_(KernelsFor(path)),
      userLookup_(BuildDecipherLookup(tables.user)),
      checkLookup_(ComposeCheckLookup(userLookup_.table, BuildDecipherLookup(tables.fixed))),
      keyCheck_(keyCheck, checkLookup_, kernels_)
{
}

std::size_t StreamDecoder::Decode(std::span<const std::uint8_t> input, std::uint8_t* output)
{
    if (keyRejected_)
        return 0;
    std::size_t done = 0;
    while (done < input.size()) {
        std::size_t stretch = input.size() - done;
        if (!keyCheck_.Finished()) {
            // Slices small enough that decoding finds them still in the cache.
            stretch = std::min(stretch, CheckedSlice);
            stretch = kernels_.findCheckMarker(region_.window, input.data() + done, stretch);
            // Before decoding: in place, that overwrites the bytes as read.
            keyCheck_.GatherRun(input.subspan(done, stretch));
        }
        kernels_.decodeRegions(region_, userLookup_, input.data() + done, stretch, output + done);
        done += stretch;
        if (done == input.size())
            break;
        if (!DecodeCheckMarkerByte(input[done], output + done))
            return done;
        ++done;
    }
    return done;
}

bool StreamDecoder::DecodeCheckMarkerByte(std::uint8_t b, std::uint8_t* output)
{
    region_.window.Push(b);
    if (!keyCheck_.Step(region_.window, b)) {
        keyRejected_ = true;
        return false;
    }
    if (region_.window.EndsWithFiveOf(RegionOnByte))
        region_.deciphering = true;
    else if (region_.window.EndsWithFiveOf(RegionOffByte))
        region_.deciphering = false;
    *output = region_.deciphering ? userLookup_.table[b] : b;
    return true;
}

} // namespace vantrel::engine
