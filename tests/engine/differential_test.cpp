// The fast engine against the per-byte reference decoder, on generated
// streams that are dense in marker bytes, over many chunk boundaries, on
// every scan path the processor has, in turn and decoding ahead, and in
// memory that stream after stream of other sizes was decoded in.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/decode_stream.h"
#include "fake_streams.h"
#include "testing/encipher.h"
#include "testing/reference_decoder.h"

namespace vantrel::engine {
namespace {

class StreamGenerator {
public:
    StreamGenerator(std::uint64_t seed, const SubstitutionTable& user, const SubstitutionTable& fixed)
        : random_(seed), user_(user), fixed_(fixed)
    {
    }

    std::string Next()
    {
        std::string stream;
        const int pieces = Below(60);
        for (int i = 0; i < pieces; ++i)
            AppendPiece(stream, true);
        return stream;
    }

    // How a long stream ends: without a check block, or with one whose
    // fifth pair matches or not, with fields of a few bytes or of tens of KiB.
    enum class Ending { Open, ShortMatch, ShortMismatch, LongMatch, LongMismatch };
    static constexpr int Endings = 5;

    // Tens of KiB in which the key check keeps running across many blocks
    // and slices: no closers, only rare openers, so that fields gather long
    // texts and nothing is compared or settled. Then the ending decides late.
    std::string Long(std::size_t minLength, Ending ending)
    {
        std::string stream;
        while (stream.size() < minLength) {
            if (Below(200) == 0)
                stream += " *#x" + Text(12); // kept apart from any '#' around it
            else
                AppendPiece(stream, false);
        }
        if (ending == Ending::Open)
            return stream;
        stream += "~~~~~";
        for (int pair = 1; pair <= 4; ++pair)
            stream += Field(Text(6) + "Q") + Field("") + "*#*";
        std::string reference = Text(6);
        if (ending == Ending::LongMatch || ending == Ending::LongMismatch) {
            while (reference.size() < minLength / 2)
                reference += Text(40);
        }
        std::string checked = reference;
        if (ending == Ending::ShortMismatch)
            checked += "Q";
        if (ending == Ending::LongMismatch) // anywhere, so that losing any stretch would hide it
            checked[static_cast<std::size_t>(Below(static_cast<int>(checked.size())))] ^= 0x20;
        return stream + Field(reference) + Field(testing::EncipherCheckText(user_, fixed_, checked));
    }

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<std::uint64_t>(n)); }
    char AnyOf(std::string_view choices) { return choices[Below(static_cast<int>(choices.size()))]; }

    std::string Text(int maxLength)
    {
        std::string text;
        for (int n = Below(maxLength + 1); n > 0; --n)
            text += AnyOf("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ /abcxyz.,\n");
        return text;
    }

    char AnyByteBut(int excluded)
    {
        const int b = Below(256);
        return static_cast<char>(b == excluded ? 'x' : b);
    }

    std::string Field(const std::string& content) { return "*#" + content + "#*"; }

    std::string CheckPair()
    {
        const std::string reference = Text(6);
        const std::string checked = Below(3) == 0 ? reference : reference + AnyOf("Q/ .");
        return Field(reference) + Field(testing::EncipherCheckText(user_, fixed_, checked));
    }

    std::string CheckBlock()
    {
        std::string block = "~~~~~";
        for (int pair = Below(7); pair > 0; --pair)
            block += CheckPair() + (Below(4) == 0 ? "" : "*#*");
        return block;
    }

    void AppendPiece(std::string& stream, bool checkFields)
    {
        const int piece = Below(12);
        if (!checkFields && (piece == 3 || piece == 9 || piece == 10)) {
            stream += Text(12);
            return;
        }
        const std::string_view strays = checkFields ? "&#~*" : "&#~";
        switch (piece) {
        case 0:
        case 1: stream += AnyOf(strays); break;
        case 2: stream += std::string(static_cast<std::size_t>(1 + Below(7)), AnyOf(strays)); break;
        case 3: stream += AnyOf("*#"); stream += AnyOf("*#"); break;
        case 4: stream += Text(12); break;
        case 5: stream += AnyByteBut(checkFields ? -1 : FieldEdgeByte); break;
        case 6: stream += AnyOf(std::string_view("\0\xff\x80\x40", 4)); break;
        case 7: stream += "&&&&&" + testing::Encipher(user_, Text(20)); break;
        case 8: stream += "#####"; break;
        case 9: stream += CheckPair(); break;
        case 10: stream += CheckBlock(); break;
        case 11: stream += std::string(static_cast<std::size_t>(Below(300)), AnyOf("aZ0 \n")); break;
        }
    }

    std::mt19937_64 random_;
    const SubstitutionTable& user_;
    const SubstitutionTable& fixed_;
};

// The fast engine reports only at chunk ends, but each value must be one the
// per-byte rule gives, in order, and the last ones must agree.
void ExpectProgressConsistent(const std::vector<double>& fast, const std::vector<double>& reference)
{
    if (reference.empty()) {
        EXPECT_TRUE(fast.empty());
        return;
    }
    ASSERT_FALSE(fast.empty());
    EXPECT_EQ(fast.back(), reference.back());
    std::size_t at = 0;
    for (double value : fast) {
        while (at < reference.size() && reference[at] != value)
            ++at;
        ASSERT_LT(at, reference.size()) << "reported " << value << " out of order or never reached";
        ++at;
    }
}

struct FastResult {
    StreamVerdict verdict;
    std::vector<std::uint8_t> output;
    std::vector<double> progress;
};

FastResult DecodeFast(const std::string& stream, std::int64_t size, bool keyCheck, const DecodeTables& tables,
                      const DecodeStrategy& strategy, std::function<std::size_t()> readLimit)
{
    testing::TrickleSource source(stream, std::move(readLimit));
    MemorySink sink;
    FastResult result;
    result.verdict = DecodeStream(source, size, sink, keyCheck,
                                  [&](double percent) { result.progress.push_back(percent); return true; },
                                  tables, strategy);
    result.output = sink.Bytes();
    return result;
}

TEST(Differential, FastEngineMatchesReferenceOnGeneratedStreams)
{
    std::mt19937_64 random(20240611);
    const SubstitutionTable fixed = testing::FixedKeyTable();
    const std::size_t chunkSizes[] = {1, 2, 3, 5, 8, 13, 64, 1000, DefaultChunkSize};
    int rejected = 0;
    int acceptedWithCheck = 0;
    DecodeBuffers shared; // as a run lends them to file after file

    for (int round = 0; round < 1500; ++round) {
        std::array<std::uint8_t, SeedSize> seed{};
        for (auto& b : seed)
            b = static_cast<std::uint8_t>(random());
        const SubstitutionTable user = BuildSubstitutionTable(seed);
        const DecodeTables tables{user, fixed};
        const std::string stream = StreamGenerator(random(), user, fixed).Next();
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                                  stream.size());

        std::int64_t size = static_cast<std::int64_t>(stream.size());
        if (round % 10 == 0)
            size = static_cast<std::int64_t>(random() % 200) - 20; // mis-measured, zero or negative

        const std::size_t chunk = chunkSizes[random() % std::size(chunkSizes)];
        const std::uint64_t readSeed = random();
        auto trickle = [reads = std::mt19937_64(readSeed), round]() mutable -> std::size_t {
            // Every third stream is read in short, uneven pieces.
            return round % 3 == 0 ? 1 + reads() % 9 : SIZE_MAX;
        };

        for (bool keyCheck : {false, true}) {
            const auto expected = testing::ReferenceDecode(bytes, size, keyCheck, tables);
            if (keyCheck) {
                rejected += expected.verdict == StreamVerdict::Rejected;
                acceptedWithCheck += expected.verdict == StreamVerdict::Accepted;
            }
            for (const ScanPath path : AvailableScanPaths()) {
                // Decoding ahead only moves the same work to a helper thread: one path in
                // every few rounds shows it moves it right (tiny chunks make threads slow going).
                const bool alsoOverlapped = path == FastestScanPath() && round % 8 == 1;
                for (const auto overlap : {DecodeStrategy::Overlap::Never, DecodeStrategy::Overlap::Always}) {
                    if (overlap == DecodeStrategy::Overlap::Always && !alsoOverlapped)
                        continue;
                    SCOPED_TRACE(::testing::Message()
                                 << "round " << round << ", chunk " << chunk << ", key check " << keyCheck
                                 << ", size " << size << ", path " << int(path) << ", overlap " << int(overlap));
                    const auto actual =
                        DecodeFast(stream, size, keyCheck, tables, {chunk, path, overlap, &shared}, trickle);
                    ASSERT_EQ(actual.verdict, expected.verdict);
                    ASSERT_EQ(actual.output, expected.output);
                    if (chunk == 1)
                        ASSERT_EQ(actual.progress, expected.progress);
                    else
                        ExpectProgressConsistent(actual.progress, expected.progress);
                }
            }
        }
    }
    // The generator must reach both outcomes often, or the comparison proves little.
    EXPECT_GT(rejected, 50);
    EXPECT_GT(acceptedWithCheck, 50);
}

// Long stretches in which the vector kernels cross many blocks, and the key
// check stays running over many slices before a late verdict.
TEST(Differential, LongStreamsMatchReference)
{
    std::mt19937_64 random(20240612);
    const SubstitutionTable user = testing::TableForKey("0123456789");
    const SubstitutionTable fixed = testing::FixedKeyTable();
    const DecodeTables tables{user, fixed};
    StreamGenerator generator(random(), user, fixed);
    int rejected = 0;

    const std::size_t chunkSizes[] = {4093, 65536, DefaultChunkSize};
    for (int round = 0; round < 3 * StreamGenerator::Endings; ++round) {
        const auto ending = static_cast<StreamGenerator::Ending>(round % StreamGenerator::Endings);
        const std::size_t chunk = chunkSizes[round / StreamGenerator::Endings];
        const std::string stream = generator.Long(20'000 + random() % 100'000, ending);
        const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                                  stream.size());
        const auto size = static_cast<std::int64_t>(stream.size());
        for (bool keyCheck : {false, true}) {
            const auto expected = testing::ReferenceDecode(bytes, size, keyCheck, tables);
            rejected += expected.verdict == StreamVerdict::Rejected;
            for (const ScanPath path : AvailableScanPaths()) {
                for (const auto overlap : {DecodeStrategy::Overlap::Never, DecodeStrategy::Overlap::Always}) {
                    SCOPED_TRACE(::testing::Message() << "round " << round << ", key check " << keyCheck << ", path "
                                                      << int(path) << ", overlap " << int(overlap));
                    const auto actual = DecodeFast(stream, size, keyCheck, tables, {chunk, path, overlap},
                                                   [] { return SIZE_MAX; });
                    ASSERT_EQ(actual.verdict, expected.verdict);
                    ASSERT_EQ(actual.output, expected.output);
                    ExpectProgressConsistent(actual.progress, expected.progress);
                }
            }
        }
    }
    // Each ending that does not match rejects: the check ran all the way.
    EXPECT_EQ(rejected, 6);
}

} // namespace
} // namespace vantrel::engine
