#pragma once
// A FileSystem for tests: it passes every call on to a real one, except the
// failures it is told to fake. Files really appear on disk, so tests can
// check that nothing partial is left behind.
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel::platform::testing {

// The reasons the faked failures give.
inline constexpr const char* CannotOpenReason = "Permission denied";
inline constexpr const char* ReadFailureReason = "Input/output error";
inline constexpr const char* DiskFullReason = "No space left on device";
inline constexpr const char* CreateFailureReason = "Read-only file system";

struct InjectedFaults {
    std::set<std::string> cannotOpen;             // these sources fail to open
    std::optional<std::int64_t> readFailsAfter;   // bytes read before a read error
    std::optional<std::int64_t> writeFailsAfter;  // bytes stored before the disk is full
    std::optional<std::int64_t> writeThrowsAfter; // bytes stored before a write throws std::bad_alloc
    bool closeFails = false;                      // the last store of an output, before its name, fails
    bool createFolderFails = false;
    bool createFails = false;                     // no output can be created
    bool unnamedRefused = false;                  // the file system has no unnamed files
    bool publishFails = false;                    // an unnamed output cannot be given a name
    // Runs just before an output takes a name, e.g. to let another program
    // take the name that was found free.
    std::function<void(const std::string& path)> beforeNaming;
};

class FaultInjectingFileSystem final : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& real) : real_(real) {}

    InjectedFaults faults;
    std::vector<std::string> created; // outputs published under a name, in order
    std::vector<std::string> unnamedFolders; // folders unnamed outputs were created in, in order

    OpenedFile OpenForReading(const std::string& path) override;
    CreatedUnnamedFile CreateUnnamed(const std::string& folder, const OutputAccess& access) override;
    CreatedUnnamedFile CreateUnderTemporaryName(const std::string& folder, const OutputAccess& access) override;
    bool FileExists(const std::string& path) const override { return real_.FileExists(path); }
    std::optional<FileStamp> Stamp(const std::string& path) const override { return real_.Stamp(path); }
    bool FolderExists(const std::string& path) const override { return real_.FolderExists(path); }
    std::string CreateFolder(const std::string& path) override;

private:
    FileSystem& real_;
};

} // namespace vantrel::platform::testing
