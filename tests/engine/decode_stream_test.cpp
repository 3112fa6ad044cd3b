#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/decode_stream.h"
#include "fake_streams.h"
#include "testing/encipher.h"

namespace vantrel::engine {
namespace {

using testing::CheckPair;
using testing::EncodedStreamBuilder;

const SubstitutionTable User = testing::TableForKey("0123456789");
const SubstitutionTable Fixed = testing::FixedKeyTable();
const DecodeTables Tables{User, Fixed};

struct Outcome {
    StreamVerdict verdict;
    std::string output;
    std::vector<double> progress;
};

using Overlap = DecodeStrategy::Overlap;
// With and without helper threads, decoding must look the same from outside.
constexpr Overlap BothWays[] = {Overlap::Never, Overlap::Always};

DecodeStrategy Strategy(std::size_t chunkSize, Overlap overlap = Overlap::ForLargeSources,
                        ScanPath path = FastestScanPath())
{
    DecodeStrategy strategy;
    strategy.chunkSize = chunkSize;
    strategy.overlap = overlap;
    strategy.scanPath = path;
    return strategy;
}

Outcome Decode(const std::string& source, bool keyCheck, const DecodeStrategy& strategy = {},
               std::optional<std::int64_t> size = std::nullopt)
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(source.data()), source.size());
    MemorySource input(bytes);
    MemorySink sink;
    Outcome outcome;
    const ProgressCallback progress = [&](double percent) {
        outcome.progress.push_back(percent);
        return true;
    };
    outcome.verdict = DecodeStream(input, size.value_or(std::int64_t(source.size())), sink, keyCheck,
                                   progress, Tables, strategy);
    outcome.output.assign(sink.Bytes().begin(), sink.Bytes().end());
    return outcome;
}

// What the user table makes of text, byte by byte.
std::string D(const std::string& text)
{
    std::string plain;
    for (char c : text)
        plain += static_cast<char>(DecipherByte(User, static_cast<std::uint8_t>(c)));
    return plain;
}

// ---- regions and markers ----

struct RegionCase {
    const char* name;
    std::string source;
    std::string expected;
};

class Regions : public ::testing::TestWithParam<RegionCase> {};

TEST_P(Regions, DecodeAsExpected)
{
    const RegionCase& c = GetParam();
    for (const ScanPath path : AvailableScanPaths()) {
        for (bool keyCheck : {false, true}) {
            const Outcome outcome = Decode(c.source, keyCheck, Strategy(DefaultChunkSize, Overlap::Never, path));
            EXPECT_EQ(outcome.verdict, StreamVerdict::Accepted);
            EXPECT_EQ(outcome.output, c.expected) << "key check " << keyCheck << ", path " << int(path);
        }
    }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Markers, Regions,
    ::testing::Values(
        RegionCase{"NoMarkers", "Plain TEXT 0123 / x\r\n", "Plain TEXT 0123 / x\r\n"},
        RegionCase{"FourOnBytesSwitchNothing", "&&&&ABC", "&&&&ABC"},
        RegionCase{"FifthOnByteSwitchesOn", "&&&&&ABC", "&&&&&" + D("ABC")},
        RegionCase{"RunOfSixStaysOn", "&&&&&&ABC", "&&&&&&" + D("ABC")},
        RegionCase{"ClosedRegion", "ab&&&&&Q7z#####c", "ab&&&&&" + D("Q7") + "z#####c"},
        RegionCase{"OffMarkerWithoutRegion", "#####ABC######", "#####ABC######"},
        RegionCase{"OnMarkerInsideRegion", "&&&&&AB&&&&&CD#####EF", "&&&&&" + D("AB") + "&&&&&" + D("CD") + "#####EF"},
        RegionCase{"BrokenOffMarker", "&&&&&A####&#####B", "&&&&&" + D("A") + "####&#####B"},
        RegionCase{"OverlappingOffAndOn", "&&&&&A#####&&&&&B", "&&&&&" + D("A") + "#####&&&&&" + D("B")},
        RegionCase{"RegionOpenAtTheEnd", "x&&&&&HELLO WORLD/9", "x&&&&&" + D("HELLO WORLD/9")},
        RegionCase{"OnlyAlphabetBytesChange", "&&&&&abc.,;\r\n\t~*K", "&&&&&abc.,;\r\n\t~*" + D("K")},
        RegionCase{"ZeroByteBreaksARun", "&&&&\0&ABC"s, "&&&&\0&ABC"s},
        RegionCase{"ZeroAndFFAreOrdinary", "&&&&&\0\xff" "A#####\xff\0B"s, "&&&&&\0\xff"s + D("A") + "#####\xff\0B"s},
        RegionCase{"EmptyRegion", "&&&&&#####X", "&&&&&#####X"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Regions, BuiltStreamDecodesToItsPlainText)
{
    EncodedStreamBuilder stream(User, Fixed);
    stream.Plain("before\n").Region("THE SECRET 42/7").Plain(" between ").OpenRegion("TO THE END");
    ASSERT_NE(stream.Encoded(), stream.Decoded());
    const Outcome outcome = Decode(stream.Encoded(), false);
    EXPECT_EQ(outcome.output, stream.Decoded());
}

// ---- key check ----

std::string Field(const std::string& content) { return "*#" + content + "#*"; }
std::string Check(const std::string& plain) { return testing::EncipherCheckText(User, Fixed, plain); }
std::string MatchingPair(const std::string& ref) { return Field(ref) + Field(Check(ref)); }
std::string WrongPair(const std::string& ref) { return Field(ref) + Field(Check(ref + "X")); }
const std::string Ignored = "*#*"; // opener and closer sharing the "#"

// Rejects the key unless the check is already over when it starts.
std::string RejectingBlock()
{
    std::string block = "~~~~~";
    for (int pair = 1; pair <= 4; ++pair)
        block += WrongPair("PAIR " + std::to_string(pair)) + Ignored;
    return block + WrongPair("PAIR 5");
}

struct KeyCheckCase {
    const char* name;
    std::string block;
    bool acceptsKey; // the check is over once the block has been read
};

class KeyCheckPairs : public ::testing::TestWithParam<KeyCheckCase> {};

// Acceptance shows in that a rejecting block after it no longer counts.
TEST_P(KeyCheckPairs, AcceptOrLeaveOpen)
{
    const KeyCheckCase& c = GetParam();
    const std::string source = c.block + "\n" + RejectingBlock() + "\nthe end";
    const Outcome outcome = Decode(source, true);
    EXPECT_EQ(outcome.verdict, c.acceptsKey ? StreamVerdict::Accepted : StreamVerdict::Rejected);
    if (c.acceptsKey) {
        EXPECT_EQ(outcome.output, source);
    }
}

std::string Repeat(const std::string& s, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += s;
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    KeyCheck, KeyCheckPairs,
    ::testing::Values(
        KeyCheckCase{"NoBlock", "", false},
        KeyCheckCase{"FirstPair", "~~~~~" + MatchingPair("CHECK 1"), true},
        KeyCheckCase{"FirstPairWrong", "~~~~~" + WrongPair("CHECK 1"), false},
        KeyCheckCase{"SecondPair", "~~~~~" + WrongPair("A") + Ignored + MatchingPair("B"), true},
        KeyCheckCase{"FifthPair", "~~~~~" + Repeat(WrongPair("A") + Ignored, 4) + MatchingPair("E"), true},
        KeyCheckCase{"PairOneFieldLate", "~~~~~" + Ignored + MatchingPair("B"), false},
        KeyCheckCase{"LowerCaseAndPunctuationPassUnchanged", "~~~~~" + MatchingPair("key: ok, fine."), true},
        KeyCheckCase{"EmptyFieldsMatch", "~~~~~" + Ignored + Ignored, true},
        KeyCheckCase{"SharedHashLeavesFieldEmpty", "~~~~~" + Ignored + Field(""), false},
        KeyCheckCase{"StarBeforeHashOpensAField", "~~~~~" + Field("AB*") + Field(Check("AB*")), false},
        KeyCheckCase{"LoneCloserComparesEmptiedTexts", "~~~~~" + WrongPair("A") + "x#*", true},
        KeyCheckCase{"FieldsBeforeBlockCountFromZero", Field("zero") + MatchingPair("ONE"), true},
        KeyCheckCase{"FirstFieldBeforeBlockIsIgnored", MatchingPair("ONE"), false},
        KeyCheckCase{"SecondBlockKeepsGatheredText",
                     "~~~~~" + Field("AB") + "~~~~~" + Field("CD") + Field(Check("AB#CD")), true},
        KeyCheckCase{"OpenerAfterField14EndsTheCheck",
                     "~~~~~" + Repeat(WrongPair("A") + Ignored, 4) + Field("E") + "*#" + Check("F") + "*#", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeyCheck, RejectsAtTheCloserOfField14AndWritesOnlyWhatCameBefore)
{
    const std::string head = "plain &&&&&SECRET#####\n";
    const std::string block = RejectingBlock();
    const std::string source = head + block + "\nnever written";
    const std::size_t rejectingStar = head.size() + block.size() - 1;

    for (const Overlap overlap : BothWays) {
        for (std::size_t chunk : {std::size_t(1), std::size_t(7), DefaultChunkSize}) {
            SCOPED_TRACE(::testing::Message() << "chunk " << chunk << ", overlap " << int(overlap));
            const Outcome outcome = Decode(source, true, Strategy(chunk, overlap));
            EXPECT_EQ(outcome.verdict, StreamVerdict::Rejected);
            EXPECT_EQ(outcome.output, "plain &&&&&" + D("SECRET") + "#####\n" + block.substr(0, block.size() - 1));
            ASSERT_FALSE(outcome.progress.empty());
            // The last report is the one for the byte before the rejecting "*".
            EXPECT_EQ(outcome.progress.back(), double(rejectingStar - 1) * 100.0 / double(source.size()));
        }
    }
}

TEST(KeyCheck, OffMeansCheckFieldsAreJustBytes)
{
    const std::string source = RejectingBlock() + "&&&&&ABC";
    const Outcome outcome = Decode(source, false);
    EXPECT_EQ(outcome.verdict, StreamVerdict::Accepted);
    EXPECT_EQ(outcome.output, RejectingBlock() + "&&&&&" + D("ABC"));
}

TEST(KeyCheck, BuiltBlockTellsRightKeyFromWrongKey)
{
    EncodedStreamBuilder stream(User, Fixed);
    stream.CheckBlock({{"FIRST", false}, {"SECOND", false}, {"THIRD", false}, {"FOURTH", false}, {"FIFTH"}})
        .Plain("\n")
        .Region("MESSAGE");
    const Outcome right = Decode(stream.Encoded(), true);
    EXPECT_EQ(right.verdict, StreamVerdict::Accepted);
    EXPECT_EQ(right.output, stream.Decoded());

    EncodedStreamBuilder otherKey(testing::TableForKey("9876543210"), Fixed);
    otherKey.CheckBlock({{"FIRST"}, {"SECOND"}, {"THIRD"}, {"FOURTH"}, {"FIFTH"}});
    EXPECT_EQ(Decode(otherKey.Encoded(), true).verdict, StreamVerdict::Rejected);
    EXPECT_EQ(Decode(otherKey.Encoded(), false).verdict, StreamVerdict::Accepted);
}

// ---- progress ----

struct ProgressCase {
    std::size_t length;
    std::size_t chunk;
    std::int64_t size;
    std::vector<double> expected;
};

class Progress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, ReportsThePerByteValueAtChunkEnds)
{
    const ProgressCase& c = GetParam();
    const Outcome outcome = Decode(std::string(c.length, 'a'), false, Strategy(c.chunk), c.size);
    EXPECT_EQ(outcome.verdict, StreamVerdict::Accepted);
    EXPECT_EQ(outcome.progress, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Progress,
    ::testing::Values(
        ProgressCase{4, 1, 4, {0.0, 25.0, 50.0, 75.0, 100.0}},       // every byte: N + 1 reports
        ProgressCase{10, 4, 10, {30.0, 70.0, 90.0, 100.0}},          // after bytes 4, 8, 10; then the end
        ProgressCase{3, 1000, 3, {2.0 * 100.0 / 3.0, 100.0}},        // one chunk
        ProgressCase{0, 4, 0, {}},                                   // empty source: nothing
        ProgressCase{5, 2, 0, {}},                                   // no size: nothing
        ProgressCase{5, 2, -7, {}},
        ProgressCase{4, 2, 2, {50.0, 150.0, 200.0}},                 // source longer than measured
        ProgressCase{2, 1, 5'000'000'000, {0.0, 2e-8, 4e-8}}));      // sizes beyond 32 bits

TEST(Progress, CountsBeyond32Bits)
{
    // A little over 4 GiB of plain bytes: a 32-bit count would wrap and never reach 100.
    constexpr std::uint64_t total = (std::uint64_t(1) << 32) + 5;
    class Zeros final : public ByteSource {
    public:
        bool Rewind() override { left_ = total; return true; }
        std::size_t Read(std::span<std::uint8_t> buffer) override
        {
            const std::size_t count = std::min<std::uint64_t>(buffer.size(), left_);
            std::memset(buffer.data(), 'z', count);
            left_ -= count;
            return count;
        }
        bool Failed() const override { return false; }
    private:
        std::uint64_t left_ = 0;
    } source;
    class Counter final : public ByteSink {
    public:
        bool Write(std::span<const std::uint8_t> bytes) override { written += bytes.size(); return true; }
        std::uint64_t written = 0;
    } sink;
    double last = -1;
    const auto verdict = DecodeStream(source, std::int64_t(total), sink, true,
                                      [&](double percent) { last = percent; return true; }, Tables, Strategy(8 << 20));
    EXPECT_EQ(verdict, StreamVerdict::Accepted);
    EXPECT_EQ(sink.written, total);
    EXPECT_EQ(last, 100.0);
}

// ---- reading, writing, stopping ----

std::function<std::size_t()> Limit(std::size_t n)
{
    return [n] { return n; };
}

TEST(StreamIo, RewindsBeforeReading)
{
    testing::TrickleSource source("&&&&&ABC", Limit(100));
    source.SkipTo(8); // the caller measured the size by going to the end
    MemorySink sink;
    EXPECT_EQ(DecodeStream(source, 8, sink, false, {}, Tables), StreamVerdict::Accepted);
    EXPECT_EQ(std::string(sink.Bytes().begin(), sink.Bytes().end()), "&&&&&" + D("ABC"));
}

TEST(StreamIo, SourceThatCannotRewindIsAReadFailure)
{
    testing::TrickleSource source("ABC", Limit(100), false, false);
    MemorySink sink;
    int reports = 0;
    EXPECT_EQ(DecodeStream(source, 3, sink, false, [&](double) { ++reports; return true; }, Tables),
              StreamVerdict::ReadFailed);
    EXPECT_TRUE(sink.Bytes().empty());
    EXPECT_EQ(reports, 0);
}

TEST(StreamIo, ReadErrorMidStreamIsNotTheEnd)
{
    for (const Overlap overlap : BothWays) {
        // The source holds 6 bytes of what was measured as 10, then fails.
        testing::TrickleSource source("&&&&&A", Limit(4), /*failAtEnd=*/true);
        MemorySink sink;
        std::vector<double> progress;
        const auto verdict = DecodeStream(source, 10, sink, false,
                                          [&](double p) { progress.push_back(p); return true; }, Tables,
                                          Strategy(DefaultChunkSize, overlap));
        EXPECT_EQ(verdict, StreamVerdict::ReadFailed);
        EXPECT_EQ(std::string(sink.Bytes().begin(), sink.Bytes().end()), "&&&&&" + D("A"));
        EXPECT_EQ(progress, (std::vector<double>{30.0, 50.0})); // no final report
    }
}

TEST(StreamIo, WriteFailureStopsDecoding)
{
    for (const Overlap overlap : BothWays) {
        testing::TrickleSource source(std::string(20, 'q'), Limit(100));
        testing::FailingSink sink(1);
        std::vector<double> progress;
        const auto verdict = DecodeStream(source, 20, sink, false,
                                          [&](double p) { progress.push_back(p); return true; }, Tables,
                                          Strategy(8, overlap));
        EXPECT_EQ(verdict, StreamVerdict::WriteFailed);
        EXPECT_EQ(sink.Bytes(), std::string(8, 'q'));
        EXPECT_EQ(progress, (std::vector<double>{35.0}));
        if (overlap == Overlap::Never) { // a helper thread reads ahead
            EXPECT_EQ(source.Reads(), 2);
        }
    }
}

TEST(StreamIo, WriteFailureBeforeARejectionIsReportedAsSuch)
{
    const std::string source = "ab" + RejectingBlock();
    for (const Overlap overlap : BothWays) {
        for (const int goodWrites : {0, 1}) {
            testing::TrickleSource input(source, Limit(100));
            testing::FailingSink sink(goodWrites);
            EXPECT_EQ(DecodeStream(input, std::int64_t(source.size()), sink, true, {}, Tables, Strategy(100, overlap)),
                      StreamVerdict::WriteFailed);
        }
    }
}

TEST(StreamIo, ProgressCallbackCanStop)
{
    for (const Overlap overlap : BothWays) {
        testing::TrickleSource source(std::string(20, 'q'), Limit(100));
        MemorySink sink;
        int reports = 0;
        const auto verdict = DecodeStream(source, 20, sink, false, [&](double) { return ++reports < 2; }, Tables,
                                          Strategy(5, overlap));
        EXPECT_EQ(verdict, StreamVerdict::Stopped);
        // The chunk decoded while the last report was due stays out of the sink.
        EXPECT_EQ(sink.Bytes().size(), 10u);
        EXPECT_EQ(reports, 2);
        if (overlap == Overlap::Never) {
            EXPECT_EQ(source.Reads(), 2);
        }
    }
}

TEST(StreamIo, StopAtTheLastReportComesTooLate)
{
    for (const Overlap overlap : BothWays) {
        testing::TrickleSource source("abc", Limit(100));
        MemorySink sink;
        std::vector<double> progress;
        const auto verdict = DecodeStream(source, 3, sink, false,
                                          [&](double p) { progress.push_back(p); return p < 100.0; }, Tables,
                                          Strategy(DefaultChunkSize, overlap));
        EXPECT_EQ(verdict, StreamVerdict::Accepted);
        EXPECT_EQ(progress.back(), 100.0);
    }
}

// Whichever thread meets it, an exception reaches the caller, and no thread
// is left behind (the test would hang or the sanitizer complain).
TEST(StreamIo, ExceptionsReachTheCaller)
{
    enum class Thrower { Source, Sink, Progress };
    for (const Overlap overlap : BothWays) {
        for (const Thrower thrower : {Thrower::Source, Thrower::Sink, Thrower::Progress}) {
            SCOPED_TRACE(::testing::Message() << "thrower " << int(thrower) << ", overlap " << int(overlap));
            int reads = 0;
            testing::TrickleSource source(std::string(40, 'q'), [&]() -> std::size_t {
                if (thrower == Thrower::Source && ++reads == 3)
                    throw std::runtime_error("read");
                return 100;
            });
            testing::FailingSink sink(thrower == Thrower::Sink ? 2 : 100, /*throws=*/true);
            int reports = 0;
            const auto progress = [&](double) {
                if (thrower == Thrower::Progress && ++reports == 2)
                    throw std::runtime_error("progress");
                return true;
            };
            EXPECT_THROW(DecodeStream(source, 40, sink, false, progress, Tables, Strategy(8, overlap)),
                         std::runtime_error);
            // Two chunks went through before each throw; nothing after it.
            EXPECT_EQ(sink.Bytes().size(), 16u);
        }
    }
}

TEST(StreamIo, DefaultTablesAreTheModuleTables)
{
    PrepareEncriptMatrixFix();
    const std::string key = "0123456789";
    PrepareEncriptMatrix(std::span(reinterpret_cast<const std::uint8_t*>(key.data()), key.size()));
    const std::string source = "&&&&&XYZ";
    MemorySource input({reinterpret_cast<const std::uint8_t*>(source.data()), source.size()});
    MemorySink sink;
    EXPECT_EQ(DecodeStream(input, 8, sink, false, {}), StreamVerdict::Accepted);
    EXPECT_EQ(std::string(sink.Bytes().begin(), sink.Bytes().end()), "&&&&&" + D("XYZ"));
}

} // namespace
} // namespace vantrel::engine
