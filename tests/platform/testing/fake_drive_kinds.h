#pragma once
// A DriveKinds for tests: every path is on a fixed disk except those under
// the folders marked as removable or remote.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/drive_kinds.h"

namespace vantrel::platform::testing {

class FakeDriveKinds final : public DriveKinds {
public:
    std::vector<std::string> notFixed;       // path prefixes that are not fixed disks
    mutable std::vector<std::string> asked;  // every path asked about, in order

    bool IsOnFixedDisk(const std::string& path) const override
    {
        asked.push_back(path);
        return std::none_of(notFixed.begin(), notFixed.end(),
                            [&](const std::string& prefix) { return path.starts_with(prefix); });
    }
};

} // namespace vantrel::platform::testing
