#pragma once
// The memory that streams are read and decoded in, kept by a caller that
// decodes one stream after another. A run over thousands of small files then
// has it allocated once, not mapped and cleared afresh for every file. Each
// chunk uses only the bytes its own read put there, so nothing of one stream
// can reach another's output.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vantrel::engine {

class DecodeBuffers {
public:
    // `count` buffers of at least `size` bytes each, holding whatever they
    // held before. Valid until the next call; for one stream at a time.
    std::span<std::uint8_t* const> Take(std::size_t count, std::size_t size);

private:
    std::vector<std::unique_ptr<std::uint8_t[]>> owned_;
    std::vector<std::uint8_t*> buffers_;
    std::size_t size_ = 0;
};

} // namespace vantrel::engine
