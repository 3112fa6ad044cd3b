#pragma once
// Where a source's output goes and under which name. Outputs never replace
// anything, and a name appears only with the whole output behind it: the
// output is written without a name and given the first free candidate name
// when it is complete. Where the file system has no unnamed files, the
// output is written under a hidden temporary name instead, which no
// candidate can be.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vantrel::batch {

inline constexpr std::string_view DecodedFolderName = "Decript";

// The folder the user chose, used as it is, or else the "Decript" folder
// beside each source.
struct OutputPlacement {
    std::optional<std::string> chosenFolder;
};

std::string OutputFolderFor(const OutputPlacement& placement, std::string_view sourcePath);

// Candidate 0 is base + "-dec.txt", candidate n > 0 is base + "-dec(n).txt".
std::string OutputNameCandidate(std::string_view baseName, std::uint64_t n);

// The permissions of an output for a source with these: its read and write
// bits only (the umask narrows them further). Without them, owner only.
std::uint32_t OutputPermissions(std::optional<std::uint32_t> sourcePermissions);

// An output being written. Destroyed before Complete() succeeded, it leaves
// nothing behind.
class PendingOutput {
public:
    virtual ~PendingOutput() = default;
    virtual engine::ByteSink& Sink() = 0;
    // Stores everything and gives the output its name. The path, or nothing
    // when that failed (FailureReason() says why; nothing is left).
    virtual std::optional<std::string> Complete() = 0;
    // Why writing or completing failed.
    virtual std::string FailureReason() const = 0;
};

struct StartedOutput {
    std::unique_ptr<PendingOutput> output; // empty when none could be started
    std::string error;
};

// Decides the folder (creating a missing "Decript" folder) and starts the
// output there. The name is the first candidate that is free when the
// output takes it; a name taken between the look and the taking is skipped.
StartedOutput StartOutput(platform::FileSystem& files, const OutputPlacement& placement, std::string_view sourcePath,
                          const platform::OutputAccess& access);

} // namespace vantrel::batch
