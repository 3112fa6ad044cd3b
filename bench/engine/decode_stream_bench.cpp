// Decoding speed of the engine on 64 MiB in memory: plain text, text about
// half inside enciphered regions, the same behind a key-check block with the
// key check on, and the whole-command timing's source (a marker about every
// 30 bytes) with the key check on. Speeds are per wall-clock second, since
// helper threads read and write while the calling thread decodes; the last
// case shows each scan path on the calling thread alone, and the chunk
// cases what one chunk costs the thread that decodes ahead.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/decode_stream.h"
#include "engine/stream_decoder.h"
#include "bench_source.h"
#include "testing/encipher.h"

namespace {

using namespace vantrel::engine;
namespace testing = vantrel::engine::testing;

constexpr std::size_t StreamSize = 64u << 20;

const SubstitutionTable& User()
{
    static const SubstitutionTable table = testing::TableForKey("bench-key-0123");
    return table;
}

const SubstitutionTable& Fixed()
{
    static const SubstitutionTable table = testing::FixedKeyTable();
    return table;
}

// Words, numbers and line ends; no marker bytes.
std::string Prose(std::mt19937& random, std::size_t length, bool upperCase)
{
    static const char* const Words[] = {"the", "report", "of", "station", "42", "north", "and", "level",
                                        "signal", "route", "7/19", "ends", "at", "grid", "zero", "clear"};
    std::string text;
    while (text.size() < length) {
        std::string word = Words[random() % std::size(Words)];
        if (upperCase)
            for (char& c : word)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        text += word;
        text += random() % 12 == 0 ? (upperCase ? " " : ".\n") : " ";
    }
    text.resize(length);
    return text;
}

std::string PlainStream()
{
    std::mt19937 random(1);
    return Prose(random, StreamSize, false);
}

// Plain and enciphered stretches of a few KiB taking turns.
std::string RegionStream(bool withCheckBlock)
{
    std::mt19937 random(2);
    testing::EncodedStreamBuilder stream(User(), Fixed());
    if (withCheckBlock)
        stream.CheckBlock({{"FIRST", false}, {"SECOND", false}, {"THIRD", false}, {"FOURTH", false}, {"FIFTH"}});
    while (stream.Encoded().size() < StreamSize) {
        stream.Plain(Prose(random, 1024 + random() % 4096, false));
        stream.Region(Prose(random, 1024 + random() % 4096, true));
    }
    std::string bytes = stream.Encoded();
    bytes.resize(StreamSize);
    return bytes;
}

std::string GeneratedSource()
{
    const SubstitutionTable user = testing::TableForKey("BENCH-KEY-2024");
    std::string bytes = vantrel::bench::BenchSourceHeader(user);
    const std::string lines = vantrel::bench::BenchSourceLines(user);
    while (bytes.size() < StreamSize)
        bytes += lines;
    bytes.resize(StreamSize);
    return bytes;
}

void DecodeInMemory(benchmark::State& state, const std::string& source, bool keyCheck,
                    const SubstitutionTable& user = User(), const DecodeStrategy& strategy = {})
{
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(source.data()), source.size());
    const DecodeTables tables{user, Fixed()};
    MemorySink sink;
    const auto decode = [&] {
        sink.Clear(); // keeps its capacity
        MemorySource input(bytes);
        const StreamVerdict verdict = DecodeStream(input, static_cast<std::int64_t>(bytes.size()), sink,
                                                   keyCheck, [](double) { return true; }, tables, strategy);
        return verdict == StreamVerdict::Accepted && sink.Bytes().size() == bytes.size();
    };
    // Once untimed, so that the sink's memory is in place.
    if (!decode()) {
        state.SkipWithError("the stream did not decode whole");
        return;
    }
    for (auto _ : state) {
        decode();
        benchmark::DoNotOptimize(sink.Bytes().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_DecodePlainText(benchmark::State& state)
{
    static const std::string source = PlainStream();
    DecodeInMemory(state, source, false);
}

void BM_DecodeHalfInRegions(benchmark::State& state)
{
    static const std::string source = RegionStream(false);
    DecodeInMemory(state, source, false);
}

void BM_DecodeHalfInRegionsWithKeyCheck(benchmark::State& state)
{
    static const std::string source = RegionStream(true);
    DecodeInMemory(state, source, true);
}

void BM_DecodeGeneratedSource(benchmark::State& state)
{
    static const std::string source = GeneratedSource();
    DecodeInMemory(state, source, true, testing::TableForKey("BENCH-KEY-2024"));
}

// Argument: the scan path (0 portable, 1 SSE2, 2 AVX2, 3 AVX-512), without helper threads.
void BM_DecodeGeneratedSourceInTurn(benchmark::State& state)
{
    static const std::string source = GeneratedSource();
    const auto path = static_cast<ScanPath>(state.range(0));
    if (!ScanPathAvailable(path)) {
        state.SkipWithError("this processor lacks the scan path");
        return;
    }
    DecodeStrategy strategy;
    strategy.scanPath = path;
    strategy.overlap = DecodeStrategy::Overlap::Never;
    DecodeInMemory(state, source, true, testing::TableForKey("BENCH-KEY-2024"), strategy);
}

// Argument: the scan path. One chunk decoded in place by the stream decoder,
// again and again: what the helper thread spends on a chunk besides reading
// it. Each round first copies the encoded chunk back (a copy within the cache).
void DecodeChunkInPlace(benchmark::State& state, const std::string& stream, const SubstitutionTable& user)
{
    const auto path = static_cast<ScanPath>(state.range(0));
    if (!ScanPathAvailable(path)) {
        state.SkipWithError("this processor lacks the scan path");
        return;
    }
    const DecodeTables tables{user, Fixed()};
    StreamDecoder decoder(tables, true, path);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.data());
    // Past the start, so that a key check that settles early is over.
    const std::span<const std::uint8_t> start(bytes, DefaultChunkSize);
    std::vector<std::uint8_t> chunk(start.begin(), start.end());
    decoder.Decode(chunk, chunk.data());
    const std::span<const std::uint8_t> encoded(bytes + DefaultChunkSize, DefaultChunkSize);
    for (auto _ : state) {
        std::copy(encoded.begin(), encoded.end(), chunk.begin());
        if (decoder.Decode(chunk, chunk.data()) != chunk.size()) {
            state.SkipWithError("the key check rejected the chunk");
            return;
        }
        benchmark::DoNotOptimize(chunk.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size()));
}

void BM_DecodeGeneratedChunkInPlace(benchmark::State& state)
{
    static const std::string source = GeneratedSource();
    DecodeChunkInPlace(state, source, testing::TableForKey("BENCH-KEY-2024"));
}

// A check field opened at the start and never closed, then zeros: every
// byte deciphered for the check text and then fingerprinted, past the bytes
// the key check holds.
void BM_DecodeOpenCheckFieldChunkInPlace(benchmark::State& state)
{
    static const std::string source = [] {
        std::string bytes = "~~~~~*#*#";
        bytes.resize(StreamSize);
        return bytes;
    }();
    DecodeChunkInPlace(state, source, User());
}

BENCHMARK(BM_DecodePlainText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeHalfInRegions)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeHalfInRegionsWithKeyCheck)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeGeneratedSource)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeGeneratedSourceInTurn)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DecodeGeneratedChunkInPlace)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeOpenCheckFieldChunkInPlace)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
