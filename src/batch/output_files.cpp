#include "batch/output_files.h"

#include "batch/paths.h"

namespace vantrel::batch {

std::string OutputFolderFor(const OutputPlacement& placement, std::string_view sourcePath)
{
    if (placement.chosenFolder) return *placement.chosenFolder;
    return std::string(FolderPart(sourcePath)) + std::string(DecodedFolderName);
}

std::string OutputNameCandidate(std::string_view baseName, std::uint64_t n)
{
    std::string name(baseName);
    name += n == 0 ? std::string("-dec") : "-dec(" + std::to_string(n) + ")";
    name += ".txt";
    return name;
}

NewOutput CreateOutput(platform::FileSystem& files, const OutputPlacement& placement, std::string_view sourcePath)
{
    const std::string folder = OutputFolderFor(placement, sourcePath);
    // A chosen folder is the user's business; only our own folder is made.
    if (!placement.chosenFolder && !files.FolderExists(folder) && !files.CreateFolder(folder)) return {};

    const std::string_view baseName = BaseName(FileName(sourcePath));
    for (std::uint64_t n = 0;; ++n) {
        std::string path = JoinPath(folder, OutputNameCandidate(baseName, n));
        if (files.FileExists(path)) continue;
        platform::CreatedFile created = files.CreateExclusive(path);
        switch (created.status) {
        case platform::CreateStatus::Created:
            return {std::move(path), std::move(created.file)};
        case platform::CreateStatus::AlreadyExists:
            continue;
        case platform::CreateStatus::Failed:
            return {};
        }
    }
}

} // namespace vantrel::batch
