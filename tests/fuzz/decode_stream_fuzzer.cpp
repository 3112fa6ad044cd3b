// Differential fuzzing: whatever the bytes, the fast engine must decode them
// exactly as the per-byte reference does.
//
// Every scan path the processor has decodes each input; with bit 5 of the
// control byte the fastest one decodes it once more with helper threads,
// in chunks of at least 64 bytes. All decode in the memory that the inputs
// before were decoded in.
//
// Input: one control byte (bits 0-2 pick the chunk size, bit 3 a size of 0
// instead of the true length, bit 4 token mode, bit 5 helper threads, bit 6
// key-check texts held only up to 3 bytes, so that fingerprints decide), ten
// seed bytes for the user table, then the stream. In token mode the bytes stand for pieces of a
// stream (markers, check pairs that match or not, alphabet text), so that
// deep key-check states, which only show at a rejection, are reached quickly.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "testing/encipher.h"

#include "engine/decode_stream.h"
#include "engine/key_check.h"
#include "engine/text_digest.h"
#include "testing/reference_decoder.h"

namespace {

using namespace vantrel::engine;

constexpr std::size_t HeaderSize = 1 + SeedSize;
constexpr std::array<std::size_t, 8> ChunkSizes = {1, 2, 3, 7, 16, 64, 4096, DefaultChunkSize};

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "fast decoder differs from the reference: %s\n", what);
        std::abort();
    }
}

std::string CheckField(const std::string& content) { return "*#" + content + "#*"; }

std::vector<std::uint8_t> ExpandTokens(std::span<const std::uint8_t> tokens, const SubstitutionTable& user,
                                       const SubstitutionTable& fixed)
{
    static constexpr char Text[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /";
    std::string stream;
    for (std::uint8_t token : tokens) {
        const unsigned arg = token & 0x0F;
        std::string text;
        for (unsigned i = 0; i < (arg & 7); ++i)
            text += Text[(arg * 7 + i * 5) % 38];
        switch (token >> 4) {
        case 0: stream += "&#~*"[arg & 3]; break;
        case 1: stream += "&&&&&"; break;
        case 2: stream += "#####"; break;
        case 3: stream += "~~~~~"; break;
        case 4: stream += "*#"; break;
        case 5: stream += "#*"; break;
        case 6: stream += "*#*"; break;
        case 7:
            stream += CheckField(text);
            stream += CheckField(vantrel::engine::testing::EncipherCheckText(user, fixed, text + (arg & 8 ? "" : "Q")));
            break;
        case 8: stream += vantrel::engine::testing::Encipher(user, text); break;
        default: stream += static_cast<char>(token); break;
        }
    }
    return {stream.begin(), stream.end()};
}

// Each fast report must be a per-byte value, in order, ending on the same one.
bool ProgressConsistent(const std::vector<double>& fast, const std::vector<double>& reference)
{
    if (reference.empty() || fast.empty())
        return reference.empty() && fast.empty();
    if (fast.back() != reference.back())
        return false;
    std::size_t at = 0;
    for (double value : fast) {
        while (at < reference.size() && reference[at] != value)
            ++at;
        if (at == reference.size())
            return false;
        ++at;
    }
    return true;
}

// Every way of fingerprinting the stream, whole and cut in two, gives what
// the byte-at-a-time evaluation gives.
void RequireEqualFingerprints(std::span<const std::uint8_t> stream)
{
    static const TextDigest::Point point{0x5a, 0x7f, 0x10, 0x35, 0xce, 0xe3, 0x84, 0x59,
                                         0x72, 0x17, 0x28, 0xcd, 0xe6, 0xbb, 0x5c, 0x71};
    TextDigest portable(point, TextDigest::Path::Portable);
    portable.Add(stream);
    const std::size_t cut = stream.empty() ? 0 : stream[0] % (stream.size() + 1);
    for (const TextDigest::Path path : TextDigest::AvailablePaths()) {
        TextDigest digest(point, path);
        digest.Add(stream.first(cut));
        digest.Add(stream.subspan(cut));
        Require(digest.Current() == portable.Current(), "fingerprint");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < HeaderSize)
        return 0;
    static const SubstitutionTable fixed = BuildSubstitutionTable(FixedKey);

    const std::uint8_t control = data[0];
    const SubstitutionTable user = BuildSubstitutionTable(std::span<const std::uint8_t, SeedSize>(data + 1, SeedSize));
    const std::span<const std::uint8_t> input(data + HeaderSize, size - HeaderSize);
    std::vector<std::uint8_t> expanded;
    if (control & 0x10)
        expanded = ExpandTokens(input, user, fixed);
    const std::span<const std::uint8_t> stream = (control & 0x10) ? std::span<const std::uint8_t>(expanded) : input;
    const std::int64_t measured = (control & 0x08) ? 0 : static_cast<std::int64_t>(stream.size());
    // Without a size the engine takes the chunk as given; keep it small then,
    // since large buffers are slow to come by under the sanitizer.
    const std::size_t chunk = std::min<std::size_t>(ChunkSizes[control & 0x07], measured > 0 ? SIZE_MAX : 4096);
    const DecodeTables tables{user, fixed};

    static const std::vector<ScanPath> paths = AvailableScanPaths();
    // Kept from input to input, as a run keeps them from file to file.
    static DecodeBuffers buffers;
    std::vector<DecodeStrategy> strategies;
    for (const ScanPath path : paths)
        strategies.push_back({chunk, path, DecodeStrategy::Overlap::Never, &buffers});
    // Handing chunks of a few bytes between threads would slow the search down.
    if (control & 0x20)
        strategies.push_back(
            {std::max<std::size_t>(chunk, 64), FastestScanPath(), DecodeStrategy::Overlap::Always, &buffers});

    RequireEqualFingerprints(stream);
    SetKeyCheckTextCap((control & 0x40) ? 3 : DefaultKeyCheckTextCap);
    for (bool keyCheck : {false, true}) {
        const auto expected = vantrel::engine::testing::ReferenceDecode(stream, measured, keyCheck, tables);
        for (const DecodeStrategy& strategy : strategies) {
            MemorySource source(stream);
            MemorySink sink;
            std::vector<double> progress;
            const StreamVerdict verdict = DecodeStream(
                source, measured, sink, keyCheck, [&](double percent) { progress.push_back(percent); return true; },
                tables, strategy);

            Require(verdict == expected.verdict, "verdict");
            Require(sink.Bytes() == expected.output, "output");
            Require(ProgressConsistent(progress, expected.progress), "progress");
        }
    }
    return 0;
}
