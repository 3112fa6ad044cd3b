#pragma once
// What a run knows of an output it wrote, so that the output can be shown
// later as the text the run made, or not at all: the code page the key was
// taken in (the sources' plain text is in it too) and the output's stamp.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace vantrel::batch {

struct OutputRecord {
    std::string codePage;
    platform::FileStamp stamp;
};

// More than a viewer should hold: larger outputs are shown from their
// beginning only.
inline constexpr std::size_t ViewedBytesLimit = std::size_t(16) << 20;

struct OutputBeginning {
    std::string bytes;         // the first bytes of the file, at most the limit
    std::int64_t fileSize = 0; // more than bytes.size() when the file was cut
};

// Reads the beginning of the output at path, which must still be the file
// that was recorded: nothing when it is gone, was replaced, written or
// touched since, or cannot be read.
std::optional<OutputBeginning> ReadRecordedOutput(platform::FileSystem& files, const std::string& path,
                                                  const platform::FileStamp& recorded,
                                                  std::size_t limit = ViewedBytesLimit);

} // namespace vantrel::batch
