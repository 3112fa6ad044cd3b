#pragma once
// Where a source's output goes and under which name. Outputs never replace
// anything: each is created exclusively under the first free name.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vantrel::batch {

inline constexpr std::string_view DecodedFolderName = "Decript";

// The folder the user chose, used as it is, or else the "Decript" folder
// beside each source.
struct OutputPlacement {
    std::optional<std::string> chosenFolder;
};

std::string OutputFolderFor(const OutputPlacement& placement, std::string_view sourcePath);

// Candidate 0 is base + "-dec.txt", candidate n > 0 is base + "-dec(n).txt".
std::string OutputNameCandidate(std::string_view baseName, std::uint64_t n);

struct NewOutput {
    std::string path;
    std::unique_ptr<platform::OutputFile> file; // empty when no output could be created
};

// Decides the folder (creating a missing "Decript" folder) and creates the
// output under the first candidate name that is free at the moment of
// creation: a name taken between the look and the creation is skipped too.
NewOutput CreateOutput(platform::FileSystem& files, const OutputPlacement& placement, std::string_view sourcePath);

} // namespace vantrel::batch
