#pragma once
// The file operations a decoding run needs, behind an interface so that tests
// can make any of them fail. Paths are byte strings as the system takes them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/byte_stream.h"

namespace vantrel::platform {

// A source file open for reading.
class InputFile : public engine::ByteSource {
public:
    // The length in bytes, measured at the end of the file; nothing when the
    // file cannot be measured.
    virtual std::optional<std::int64_t> Size() = 0;
};

// A newly created output file.
class OutputFile : public engine::ByteSink {
public:
    // Stores what is still buffered and releases the file. False when any byte
    // written so far could not be stored; a file that is destroyed without
    // Close() is released all the same, its result unseen.
    virtual bool Close() = 0;
};

enum class CreateStatus { Created, AlreadyExists, Failed };

struct CreatedFile {
    CreateStatus status = CreateStatus::Failed;
    std::unique_ptr<OutputFile> file; // set exactly when status is Created
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Nothing when the path cannot be opened or is not a regular file.
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;
    // Creates a new, empty file; an existing entry of that name is never
    // touched (AlreadyExists).
    virtual CreatedFile CreateExclusive(const std::string& path) = 0;
    // True only for a file that is not a folder.
    virtual bool FileExists(const std::string& path) const = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    // Creates one folder whose parent exists. True when the folder exists
    // afterwards, also when someone else created it first.
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
};

} // namespace vantrel::platform
