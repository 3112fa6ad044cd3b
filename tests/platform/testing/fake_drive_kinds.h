#pragma once
// A DriveKinds for tests: every path is on a fixed disk except those under
// the folders marked as removable or remote.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/drive_kinds.h"

namespace vantrel::platform::testing {

class FakeDriveKinds final : public DriveKinds {
public:
    std::vector<std::string> notFixed;       // path prefixes that are not fixed disks
    mutable std::vector<std::string> asked;  // every path asked about, in order
    mutable int snapshots = 0;               // looks at the machine

    std::unique_ptr<DriveSnapshot> Snapshot() const override
    {
        ++snapshots;
        return std::make_unique<Answers>(*this);
    }

private:
    class Answers final : public DriveSnapshot {
    public:
        explicit Answers(const FakeDriveKinds& drives) : drives_(drives) {}
        bool IsOnFixedDisk(const std::string& path) override
        {
            drives_.asked.push_back(path);
            return std::none_of(drives_.notFixed.begin(), drives_.notFixed.end(),
                                [&](const std::string& prefix) { return path.starts_with(prefix); });
        }

    private:
        const FakeDriveKinds& drives_;
    };
};

} // namespace vantrel::platform::testing
