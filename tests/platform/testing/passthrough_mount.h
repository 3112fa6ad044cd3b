#pragma once
// A real folder served again through FUSE (passthrough_fs.py), for tests
// that need a file system as network shares are: no unnamed files, no
// rename that refuses to replace, and on request a close or a link that
// fails. Mounting takes root, or fusermount.
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vantrel::platform::testing {

// What the mount gets wrong on purpose; 0 for nothing.
struct PassthroughFaults {
    int flushErrno = 0; // every close of a written file fails so
    int linkErrno = 0;  // every link fails so
};

class PassthroughMount {
public:

    // Why FUSE cannot run on this machine at all; empty when it can.
    static std::string Unavailable();

    // Serves backing at mountPoint (both existing folders) until destroyed.
    PassthroughMount(std::filesystem::path backing, std::filesystem::path mountPoint, PassthroughFaults faults = {});
    ~PassthroughMount();
    PassthroughMount(const PassthroughMount&) = delete;
    PassthroughMount& operator=(const PassthroughMount&) = delete;

    // Empty once mounted; else what went wrong.
    const std::string& Failure() const { return failure_; }

private:
    bool Mounted() const;

    std::filesystem::path mountPoint_;
    pid_t server_ = -1;
    std::string failure_;
};

} // namespace vantrel::platform::testing
