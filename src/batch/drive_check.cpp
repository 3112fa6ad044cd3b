#include "batch/drive_check.h"

namespace vantrel::batch {
namespace {

// A source takes microseconds to look at: asking after every thousand or so
// still answers an interruption within milliseconds.
constexpr std::size_t SourcesBetweenAsks = 1024;

} // namespace

SourceCheck CheckSources(const platform::DriveKinds& drives, std::span<const std::string> sourcePaths,
                         bool outputFolderChosen, const std::function<bool()>& interrupted)
{
    if (outputFolderChosen || sourcePaths.empty()) return {};
    const std::unique_ptr<platform::DriveSnapshot> snapshot = drives.Snapshot();
    for (std::size_t i = 0; i < sourcePaths.size(); ++i) {
        const bool askNow = (i + 1) % SourcesBetweenAsks == 0;
        if (askNow && interrupted && interrupted()) return {std::nullopt, true};
        if (!snapshot->IsOnFixedDisk(sourcePaths[i])) return {i, false};
    }
    return {};
}

} // namespace vantrel::batch
