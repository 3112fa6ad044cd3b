#include "platform/testing/fault_injecting_file_system.h"

#include <algorithm>

namespace vantrel::platform::testing {
namespace {

class FaultyInput final : public InputFile {
public:
    FaultyInput(std::unique_ptr<InputFile> real, std::optional<std::int64_t> failAfter)
        : real_(std::move(real)), failAfter_(failAfter)
    {
    }

    bool Rewind() override
    {
        delivered_ = 0;
        failed_ = false;
        return real_->Rewind();
    }

    std::size_t Read(std::span<std::uint8_t> buffer) override
    {
        if (failed_) return 0;
        if (failAfter_) {
            const std::int64_t left = *failAfter_ - delivered_;
            if (left <= 0) {
                failed_ = true;
                return 0;
            }
            buffer = buffer.first(std::min<std::size_t>(buffer.size(), static_cast<std::size_t>(left)));
        }
        const std::size_t got = real_->Read(buffer);
        delivered_ += static_cast<std::int64_t>(got);
        return got;
    }

    bool Failed() const override { return failed_ || real_->Failed(); }
    std::optional<std::int64_t> Size() override { return real_->Size(); }

private:
    std::unique_ptr<InputFile> real_;
    std::optional<std::int64_t> failAfter_;
    std::int64_t delivered_ = 0;
    bool failed_ = false;
};

class FaultyOutput final : public OutputFile {
public:
    FaultyOutput(std::unique_ptr<OutputFile> real, std::optional<std::int64_t> failAfter, bool closeFails)
        : real_(std::move(real)), failAfter_(failAfter), closeFails_(closeFails)
    {
    }

    // Stores what fits before the fake disk is full, as a real disk would.
    bool Write(std::span<const std::uint8_t> bytes) override
    {
        std::size_t fits = bytes.size();
        if (failAfter_) fits = std::min<std::size_t>(fits, static_cast<std::size_t>(std::max<std::int64_t>(0, *failAfter_ - stored_)));
        const bool written = real_->Write(bytes.first(fits));
        stored_ += static_cast<std::int64_t>(fits);
        return written && fits == bytes.size();
    }

    bool Close() override { return real_->Close() && !closeFails_; }

private:
    std::unique_ptr<OutputFile> real_;
    std::optional<std::int64_t> failAfter_;
    bool closeFails_;
    std::int64_t stored_ = 0;
};

} // namespace

std::unique_ptr<InputFile> FaultInjectingFileSystem::OpenForReading(const std::string& path)
{
    if (faults.cannotOpen.contains(path)) return nullptr;
    auto real = real_.OpenForReading(path);
    if (!real) return nullptr;
    return std::make_unique<FaultyInput>(std::move(real), faults.readFailsAfter);
}

CreatedFile FaultInjectingFileSystem::CreateExclusive(const std::string& path)
{
    if (faults.beforeCreate) faults.beforeCreate(path);
    if (faults.createFails) return {CreateStatus::Failed, nullptr};
    CreatedFile result = real_.CreateExclusive(path);
    if (result.status != CreateStatus::Created) return result;
    created.push_back(path);
    result.file = std::make_unique<FaultyOutput>(std::move(result.file), faults.writeFailsAfter, faults.closeFails);
    return result;
}

bool FaultInjectingFileSystem::CreateFolder(const std::string& path)
{
    return !faults.createFolderFails && real_.CreateFolder(path);
}

bool FaultInjectingFileSystem::DeleteFile(const std::string& path)
{
    deleted.push_back(path);
    return real_.DeleteFile(path);
}

} // namespace vantrel::platform::testing
