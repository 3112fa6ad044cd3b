#include "platform/testing/fault_injecting_file_system.h"

#include <algorithm>
#include <new>

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
    std::optional<std::uint32_t> Permissions() const override { return real_->Permissions(); }
    std::optional<FileStamp> Stamp() const override { return real_->Stamp(); }
    std::optional<std::uint32_t> Group() const override { return real_->Group(); }
    std::string FailureReason() const override { return failed_ ? ReadFailureReason : real_->FailureReason(); }

private:
    std::unique_ptr<InputFile> real_;
    std::optional<std::int64_t> failAfter_;
    std::int64_t delivered_ = 0;
    bool failed_ = false;
};

// Faults of the writes to an output.
class WriteFaults {
public:
    explicit WriteFaults(const InjectedFaults& faults)
        : failAfter_(faults.writeFailsAfter), throwAfter_(faults.writeThrowsAfter)
    {
    }

    // Stores what fits before the fake disk is full, as a real disk would.
    bool Write(engine::ByteSink& real, std::span<const std::uint8_t> bytes)
    {
        if (throwAfter_ && stored_ + static_cast<std::int64_t>(bytes.size()) > *throwAfter_) throw std::bad_alloc();
        std::size_t fits = bytes.size();
        if (failAfter_) fits = std::min<std::size_t>(fits, static_cast<std::size_t>(std::max<std::int64_t>(0, *failAfter_ - stored_)));
        const bool written = real.Write(bytes.first(fits));
        stored_ += static_cast<std::int64_t>(fits);
        full_ = full_ || fits < bytes.size();
        return written && !full_;
    }
    bool Full() const { return full_; }

private:
    std::optional<std::int64_t> failAfter_;
    std::optional<std::int64_t> throwAfter_;
    std::int64_t stored_ = 0;
    bool full_ = false;
};

class FaultyUnnamedOutput final : public UnnamedOutputFile {
public:
    FaultyUnnamedOutput(std::unique_ptr<UnnamedOutputFile> real, FaultInjectingFileSystem& files)
        : real_(std::move(real)), files_(files), writes_(files.faults)
    {
    }

    bool Write(std::span<const std::uint8_t> bytes) override { return writes_.Write(*real_, bytes); }

    // A failing last store or naming drops the real file unnamed, as the
    // real one does when the system says no.
    PublishStatus Publish(const std::string& path) override
    {
        if (files_.faults.beforeNaming) files_.faults.beforeNaming(path);
        if (files_.faults.closeFails || files_.faults.publishFails) {
            real_.reset();
            return PublishStatus::Failed;
        }
        if (!real_) return PublishStatus::Failed;
        const PublishStatus status = real_->Publish(path);
        if (status == PublishStatus::Published) files_.created.push_back(path);
        return status;
    }

    std::string FailureReason() const override
    {
        if (writes_.Full()) return DiskFullReason;
        if (files_.faults.closeFails || files_.faults.publishFails) return ReadFailureReason;
        return real_ ? real_->FailureReason() : std::string();
    }

private:
    std::unique_ptr<UnnamedOutputFile> real_;
    FaultInjectingFileSystem& files_;
    WriteFaults writes_;
};

} // namespace

OpenedFile FaultInjectingFileSystem::OpenForReading(const std::string& path)
{
    if (faults.cannotOpen.contains(path)) return {nullptr, CannotOpenReason};
    OpenedFile opened = real_.OpenForReading(path);
    if (opened.file) opened.file = std::make_unique<FaultyInput>(std::move(opened.file), faults.readFailsAfter);
    return opened;
}

CreatedUnnamedFile FaultInjectingFileSystem::CreateUnnamed(const std::string& folder, const OutputAccess& access)
{
    if (faults.createFails) return {UnnamedStatus::Failed, nullptr, CreateFailureReason};
    if (faults.unnamedRefused) return {UnnamedStatus::Unsupported, nullptr, {}};
    CreatedUnnamedFile result = real_.CreateUnnamed(folder, access);
    if (result.status != UnnamedStatus::Created) return result;
    unnamedFolders.push_back(folder);
    result.file = std::make_unique<FaultyUnnamedOutput>(std::move(result.file), *this);
    return result;
}

CreatedUnnamedFile FaultInjectingFileSystem::CreateUnderTemporaryName(const std::string& folder, const OutputAccess& access)
{
    if (faults.createFails) return {UnnamedStatus::Failed, nullptr, CreateFailureReason};
    CreatedUnnamedFile result = real_.CreateUnderTemporaryName(folder, access);
    if (result.status != UnnamedStatus::Created) return result;
    result.file = std::make_unique<FaultyUnnamedOutput>(std::move(result.file), *this);
    return result;
}

std::string FaultInjectingFileSystem::CreateFolder(const std::string& path)
{
    if (faults.createFolderFails) return CreateFailureReason;
    return real_.CreateFolder(path);
}

} // namespace vantrel::platform::testing
