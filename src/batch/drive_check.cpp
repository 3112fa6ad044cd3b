#include "batch/drive_check.h"

namespace vantrel::batch {

bool SourceAllowed(const platform::DriveKinds& drives, const std::string& sourcePath, bool outputFolderChosen)
{
    return outputFolderChosen || drives.IsOnFixedDisk(sourcePath);
}

std::optional<std::size_t> FirstSourceNotAllowed(const platform::DriveKinds& drives,
                                                 std::span<const std::string> sourcePaths, bool outputFolderChosen)
{
    for (std::size_t i = 0; i < sourcePaths.size(); ++i) {
        if (!SourceAllowed(drives, sourcePaths[i], outputFolderChosen)) return i;
    }
    return std::nullopt;
}

} // namespace vantrel::batch
