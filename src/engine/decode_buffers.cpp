#include "engine/decode_buffers.h"

#include <algorithm>

#include "engine/decode_stream.h"

namespace vantrel::engine {

std::span<std::uint8_t* const> DecodeBuffers::Take(std::size_t count, std::size_t size)
{
    if (size > size_) {
        // Files of a run come in all sizes: growing in steps keeps the number
        // of allocations small, without going past a chunk for small files.
        size_ = std::max(size, std::min(2 * size_, DefaultChunkSize));
        owned_.clear();
        buffers_.clear();
    }
    while (owned_.size() < count) {
        // Every byte is written by a read before it is used; no need to clear them.
        owned_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(size_));
        buffers_.push_back(owned_.back().get());
    }
    return std::span<std::uint8_t* const>(buffers_).first(count);
}

} // namespace vantrel::engine
