#pragma once
// The file system of this machine, through POSIX calls.
#include "platform/file_system.h"

namespace vantrel::platform {

class PosixFileSystem final : public FileSystem {
public:
    OpenedFile OpenForReading(const std::string& path) override;
    CreatedUnnamedFile CreateUnnamed(const std::string& folder, const OutputAccess& access) override;
    CreatedUnnamedFile CreateUnderTemporaryName(const std::string& folder, const OutputAccess& access) override;
    bool FileExists(const std::string& path) const override;
    std::optional<FileStamp> Stamp(const std::string& path) const override;
    bool FolderExists(const std::string& path) const override;
    std::string CreateFolder(const std::string& path) override;
};

} // namespace vantrel::platform
