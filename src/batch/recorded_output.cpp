#include "batch/recorded_output.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace vantrel::batch {

std::optional<OutputBeginning> ReadRecordedOutput(platform::FileSystem& files, const std::string& path,
                                                  const platform::FileStamp& recorded, std::size_t limit)
{
    const platform::OpenedFile opened = files.OpenForReading(path);
    if (!opened.file) return std::nullopt;
    platform::InputFile& file = *opened.file;
    // The stamp of the file that is open, not of whatever the name leads to
    // by now.
    if (file.Stamp() != recorded) return std::nullopt;

    const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(recorded.size, std::int64_t(limit)));
    OutputBeginning beginning{std::string(wanted, '\0'), recorded.size};
    std::size_t got = 0;
    while (got < wanted) {
        const std::size_t read =
            file.Read(std::span(reinterpret_cast<std::uint8_t*>(beginning.bytes.data()) + got, wanted - got));
        if (read == 0) break;
        got += read;
    }
    // Written to while it was read: what was read may be neither state.
    if (got < wanted || file.Failed() || file.Stamp() != recorded) return std::nullopt;
    return beginning;
}

} // namespace vantrel::batch
