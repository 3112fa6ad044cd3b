#pragma once
// The check before a run: without a chosen output folder the outputs go
// beside the sources, so every source must lie on a fixed disk.
#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "platform/drive_kinds.h"

namespace vantrel::batch {

// Whether this source lets a run start.
bool SourceAllowed(const platform::DriveKinds& drives, const std::string& sourcePath, bool outputFolderChosen);

// The index of the first source that stops the run ("Upload folder is not
// correct!"), or nothing when all pass. Later sources are not asked about.
std::optional<std::size_t> FirstSourceNotAllowed(const platform::DriveKinds& drives,
                                                 std::span<const std::string> sourcePaths, bool outputFolderChosen);

} // namespace vantrel::batch
