#pragma once
// The encoded source of the whole-command timing (bench-decode.sh), also
// decoded in memory by bench_engine: a key-check block that the key passes,
// then lines with plain text and short enciphered regions, a marker about
// every 30 bytes.
#include <string>

#include "testing/encipher.h"

namespace vantrel::bench {

// The start of the source, with its key-check block.
inline std::string BenchSourceHeader(const engine::SubstitutionTable& user)
{
    engine::testing::EncodedStreamBuilder header(user);
    header.Plain("Field report\n").CheckBlock({{"BENCH KEY CHECK"}}).Plain("\n");
    return header.Encoded();
}

// About 100 KiB of lines, roughly half of their bytes enciphered; the source
// repeats it after the header as often as its size asks for.
inline std::string BenchSourceLines(const engine::SubstitutionTable& user)
{
    engine::testing::EncodedStreamBuilder block(user);
    for (int line = 0; line < 1500; ++line) {
        const std::string number = std::to_string(100000 + line);
        block.Plain("Entry " + number + ": route confirmed, ")
            .Region("GRID " + number + "/NORTH SECTOR " + std::to_string(line % 97))
            .Plain(" end of entry.\n");
    }
    return block.Encoded();
}

} // namespace vantrel::bench
