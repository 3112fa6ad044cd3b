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

struct InjectedFaults {
    std::set<std::string> cannotOpen;             // these sources fail to open
    std::optional<std::int64_t> readFailsAfter;   // bytes read before a read error
    std::optional<std::int64_t> writeFailsAfter;  // bytes stored before the disk is full
    bool closeFails = false;                      // closing an output reports a failure
    bool createFolderFails = false;
    bool createFails = false;                     // no output can be created
    // Runs just before each exclusive creation, e.g. to let another program
    // take the name that was found free.
    std::function<void(const std::string& path)> beforeCreate;
};

class FaultInjectingFileSystem final : public FileSystem {
public:
    explicit FaultInjectingFileSystem(FileSystem& real) : real_(real) {}

    InjectedFaults faults;
    std::vector<std::string> created; // outputs created, in order
    std::vector<std::string> deleted; // files deleted, in order

    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    CreatedFile CreateExclusive(const std::string& path) override;
    bool FileExists(const std::string& path) const override { return real_.FileExists(path); }
    bool FolderExists(const std::string& path) const override { return real_.FolderExists(path); }
    bool CreateFolder(const std::string& path) override;
    bool DeleteFile(const std::string& path) override;

private:
    FileSystem& real_;
};

} // namespace vantrel::platform::testing
