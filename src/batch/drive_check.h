#pragma once
// The check before a run: without a chosen output folder the outputs go
// beside the sources, so every source must lie on a fixed disk.
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/drive_kinds.h"

namespace vantrel::batch {

struct SourceCheck {
    // The first source that stops the run ("Upload folder is not correct!");
    // later sources are not asked about.
    std::optional<std::size_t> notAllowed;
    bool interrupted = false; // given up before every source was asked about
};

// One look at the drives answers for all the sources. interrupted, when
// given, is asked every so often, so that a list of millions can be given
// up within moments.
SourceCheck CheckSources(const platform::DriveKinds& drives, std::span<const std::string> sourcePaths,
                         bool outputFolderChosen, const std::function<bool()>& interrupted = {});

} // namespace vantrel::batch
