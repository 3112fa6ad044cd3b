#pragma once
// The file operations a decoding run needs, behind an interface so that tests
// can make any of them fail. Paths are byte strings as the system takes them.
// Whatever fails says why, in the system's words ("Permission denied").
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/byte_stream.h"

namespace vantrel::platform {

// The system's text for an errno value ("No space left on device").
std::string SystemErrorText(int code);

// What tells one state of a file from another: which file it is, its length
// and the time its contents last changed. A file written again, replaced or
// touched gets another stamp; a change of its permissions does not.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // since the epoch
    bool operator==(const FileStamp&) const = default;
};

// A source file open for reading.
class InputFile : public engine::ByteSource {
public:
    // The length in bytes, measured at the end of the file; nothing when the
    // file cannot be measured.
    virtual std::optional<std::int64_t> Size() = 0;
    // The file's permission bits (rwx for owner, group and others, set-id,
    // sticky); nothing when they cannot be read.
    virtual std::optional<std::uint32_t> Permissions() const = 0;
    // The stamp of the very file that is open; nothing when it cannot be read.
    virtual std::optional<FileStamp> Stamp() const = 0;
    // The file's group id; nothing when it cannot be read.
    virtual std::optional<std::uint32_t> Group() const = 0;
    // Why reading or measuring failed; empty while nothing has.
    virtual std::string FailureReason() const = 0;
};

// An output file on an open descriptor.
class OutputFile : public engine::ByteSink {
public:
    // Stores what is still buffered and releases the file. False when any byte
    // written so far could not be stored; a file that is destroyed without
    // Close() is released all the same, its result unseen.
    virtual bool Close() = 0;
    // Why writing or closing failed; empty while nothing has.
    virtual std::string FailureReason() const = 0;
};

enum class PublishStatus {
    Published, // complete under the name, and released
    NameTaken, // something has that name: another name may be tried
    Failed,    // nothing was named, and nothing will be
};

// An output that has no name yet: until it is published, no other program
// can see it under a name it could take for an output. If this one ends
// before, nothing of it is left, or at most a hidden temporary file where
// the file system has no unnamed files.
class UnnamedOutputFile : public engine::ByteSink {
public:
    // Stores every buffered byte, then gives the file the name path, which
    // must be free: an existing entry is never replaced. After Failed,
    // nothing of the file is left.
    virtual PublishStatus Publish(const std::string& path) = 0;
    virtual std::string FailureReason() const = 0;
};

struct OpenedFile {
    std::unique_ptr<InputFile> file; // empty when the file cannot be read
    std::string error;
};

enum class UnnamedStatus {
    Created,
    Unsupported, // the folder's file system has no unnamed files
    Failed,
};

// Who besides its owner may read an output: no more than could read its
// source.
struct OutputAccess {
    std::uint32_t permissions = 0600; // narrowed by the umask
    // The source's group, which the output takes before it has a name. Where
    // the user may not give it that group, its group bits are cleared: its
    // own group need not be one that could read the source. Nothing: the
    // group new files get, with the group bits of permissions.
    std::optional<std::uint32_t> group;
};

struct CreatedUnnamedFile {
    UnnamedStatus status = UnnamedStatus::Failed;
    std::unique_ptr<UnnamedOutputFile> file; // set exactly when status is Created
    std::string error;                       // set when status is Failed
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Only regular files are opened.
    virtual OpenedFile OpenForReading(const std::string& path) = 0;
    // Creates a new, empty file without a name in folder, with its access
    // already in place.
    virtual CreatedUnnamedFile CreateUnnamed(const std::string& folder, const OutputAccess& access) = 0;
    // The same where the folder's file system has no unnamed files: the file
    // is written under a hidden temporary name in folder, one that no output
    // name can be, and is renamed when published. Created or Failed.
    virtual CreatedUnnamedFile CreateUnderTemporaryName(const std::string& folder, const OutputAccess& access) = 0;
    // True only for a file that is not a folder.
    virtual bool FileExists(const std::string& path) const = 0;
    // The stamp of the file at path as it is now; nothing when there is none.
    virtual std::optional<FileStamp> Stamp(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    // Creates one folder whose parent exists. Empty when the folder exists
    // afterwards, also when someone else created it first; else why not.
    virtual std::string CreateFolder(const std::string& path) = 0;
};

} // namespace vantrel::platform
