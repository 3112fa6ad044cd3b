#pragma once
// A deliberately plain decoder: one byte at a time, straight from the
// algorithm, with linear table searches and literal windows. The fast engine
// is checked against it; keep it obviously right rather than quick.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/decode_stream.h"

namespace vantrel::engine::testing {

struct ReferenceResult {
    StreamVerdict verdict = StreamVerdict::Accepted; // Accepted or Rejected
    std::vector<std::uint8_t> output;
    std::vector<double> progress; // every report, in order
};

// size is the measure reported progress is computed against (normally
// source.size()).
ReferenceResult ReferenceDecode(std::span<const std::uint8_t> source, std::int64_t size, bool keyCheck,
                                const DecodeTables& tables);

} // namespace vantrel::engine::testing
