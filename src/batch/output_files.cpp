#include "batch/output_files.h"

#include "batch/paths.h"

namespace vantrel::batch {
namespace {

// Written without a name, named when complete.
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

// Named from the start; deleted unless completed.
class NamedOutput final : public PendingOutput {
public:
    NamedOutput(platform::FileSystem& files, std::string path, std::unique_ptr<platform::OutputFile> file)
        : files_(files), path_(std::move(path)), file_(std::move(file))
    {
    }
    ~NamedOutput() override
    {
        if (completed_) return;
        file_.reset();
        try {
            files_.DeleteFile(path_);
        } catch (...) {
            // Nothing more can be done for it from a destructor.
        }
    }
    NamedOutput(const NamedOutput&) = delete;
    NamedOutput& operator=(const NamedOutput&) = delete;

    engine::ByteSink& Sink() override { return *file_; }
    std::string FailureReason() const override { return file_->FailureReason(); }

    std::optional<std::string> Complete() override
    {
        // Bytes may still wait in the output's buffer: only a clean close
        // makes the output complete.
        if (!file_->Close()) return std::nullopt;
        completed_ = true;
        return path_;
    }

private:
    platform::FileSystem& files_;
    std::string path_;
    std::unique_ptr<platform::OutputFile> file_;
    bool completed_ = false;
};

StartedOutput StartNamed(platform::FileSystem& files, const std::string& folder, std::string_view baseName,
                         std::uint32_t permissions)
{
    for (std::uint64_t n = 0;; ++n) {
        std::string path = JoinPath(folder, OutputNameCandidate(baseName, n));
        if (files.FileExists(path)) continue;
        platform::CreatedFile created = files.CreateExclusive(path, permissions);
        switch (created.status) {
        case platform::CreateStatus::Created:
            return {std::make_unique<NamedOutput>(files, std::move(path), std::move(created.file)), {}};
        case platform::CreateStatus::AlreadyExists:
            continue;
        case platform::CreateStatus::Failed:
            return {nullptr, std::move(created.error)};
        }
    }
}

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
                          std::uint32_t permissions)
{
    const std::string folder = OutputFolderFor(placement, sourcePath);
    // A chosen folder is the user's business; only our own folder is made.
    if (!placement.chosenFolder && !files.FolderExists(folder)) {
        if (std::string error = files.CreateFolder(folder); !error.empty()) return {nullptr, std::move(error)};
    }

    const std::string baseName(BaseName(FileName(sourcePath)));
    // The folder the candidate names are joined to: an empty chosen folder
    // names the root, as its joined paths do.
    platform::CreatedUnnamedFile unnamed = files.CreateUnnamed(std::string(FolderPart(JoinPath(folder, baseName))), permissions);
    switch (unnamed.status) {
    case platform::UnnamedStatus::Created:
        return {std::make_unique<UnnamedOutput>(files, folder, baseName, std::move(unnamed.file)), {}};
    case platform::UnnamedStatus::Failed:
        return {nullptr, std::move(unnamed.error)};
    case platform::UnnamedStatus::Unsupported:
        break;
    }
    return StartNamed(files, folder, baseName, permissions);
}

} // namespace vantrel::batch
