#include "engine/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace vantrel::engine {

std::size_t MemorySource::Read(std::span<std::uint8_t> buffer)
{
    const std::size_t count = std::min(buffer.size(), bytes_.size() - position_);
    if (count > 0)
        std::memcpy(buffer.data(), bytes_.data() + position_, count);
    position_ += count;
    return count;
}

bool MemorySink::Write(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return true;
}

} // namespace vantrel::engine
