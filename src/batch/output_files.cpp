#include "batch/output_files.h"

#include "batch/paths.h"

namespace vantrel::batch {
namespace {

// Written without a name (or under a temporary one), named when complete.
class UnnamedOutput final : public PendingOutput {
public:
    UnnamedOutput(platform::FileSystem& files, std::string folder, std::string baseName,
                  std::unique_ptr<platform::UnnamedOutputFile> file)
        : files_(files), folder_(std::move(folder)), baseName_(std::move(baseName)), file_(std::move(file))
    {
    }

    engine::ByteSink& Sink() override { return *file_; }
    std::string FailureReason() const override { return file_->FailureReason(); }

    std::optional<std::string> Complete() override
    {
        for (std::uint64_t n = 0;; ++n) {
            std::string path = JoinPath(folder_, OutputNameCandidate(baseName_, n));
            if (files_.FileExists(path)) continue;
            switch (file_->Publish(path)) {
            case platform::PublishStatus::Published: return path;
            case platform::PublishStatus::NameTaken: continue;
            case platform::PublishStatus::Failed: return std::nullopt;
            }
        }
    }

private:
    platform::FileSystem& files_;
    std::string folder_;
    std::string baseName_;
    std::unique_ptr<platform::UnnamedOutputFile> file_;
};

} // namespace

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

std::uint32_t OutputPermissions(std::optional<std::uint32_t> sourcePermissions)
{
    // Never execute, set-id or sticky: the output is text, whatever its source was.
    return sourcePermissions ? *sourcePermissions & 0666u : 0600u;
}

StartedOutput StartOutput(platform::FileSystem& files, const OutputPlacement& placement, std::string_view sourcePath,
                          const platform::OutputAccess& access)
{
    const std::string folder = OutputFolderFor(placement, sourcePath);
    // A chosen folder is the user's business; only our own folder is made.
    if (!placement.chosenFolder && !files.FolderExists(folder)) {
        if (std::string error = files.CreateFolder(folder); !error.empty()) return {nullptr, std::move(error)};
    }

    const std::string baseName(BaseName(FileName(sourcePath)));
    // The folder the candidate names are joined to: an empty chosen folder
    // names the root, as its joined paths do.
    const std::string namesFolder(FolderPart(JoinPath(folder, baseName)));
    platform::CreatedUnnamedFile created = files.CreateUnnamed(namesFolder, access);
    if (created.status == platform::UnnamedStatus::Unsupported) created = files.CreateUnderTemporaryName(namesFolder, access);
    if (created.status != platform::UnnamedStatus::Created) return {nullptr, std::move(created.error)};
    return {std::make_unique<UnnamedOutput>(files, folder, baseName, std::move(created.file)), {}};
}

} // namespace vantrel::batch
