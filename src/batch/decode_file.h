#pragma once
// Decoding one source file into a new output file: the step that the
// window's run and the command-line tool repeat for every source. Whatever
// happens, both files are closed on return, the source is left as it was,
// and an output exists only when the outcome is Decoded. Nothing thrown
// while a file decodes gets past DecodeFile.
#include <string>
#include <string_view>

#include "batch/output_files.h"
#include "engine/decode_buffers.h"
#include "platform/file_system.h"

namespace vantrel::batch {

enum class FileOutcome {
    Decoded,     // the output holds the whole decoded source
    Rejected,    // the key check proved the key wrong
    CannotOpen,  // the source could not be opened; nothing was created
    ReadError,   // includes a source that shrank while it was read
    WriteError,  // includes a folder or output that could not be created, a full disk, a failing close
    Stopped,     // the observer asked to stop
    DecodeError, // something else went wrong, e.g. memory ran out
};

struct FileResult {
    FileOutcome outcome = FileOutcome::CannotOpen;
    std::string outputPath; // set only for Decoded
    std::string reason;     // why a file failed, in the system's words; empty otherwise
};

// The status word a file table shows for an outcome; a stopped file is back
// to "Not decoded".
std::string_view StatusWord(FileOutcome outcome);

// What the caller sees while one file decodes.
class DecodeObserver {
public:
    virtual ~DecodeObserver() = default;
    // The source is open and decoding begins.
    virtual void Started() {}
    // Percent of the source done so far; false stops decoding.
    virtual bool Progress(double /*percent*/) { return true; }
    // The key check failed; called while both files are still open.
    virtual void Rejected() {}
};

// Decodes with the tables the run has prepared (PrepareTables). A caller
// that decodes file after file lends the same buffers to each; without
// them, the file gets memory of its own.
FileResult DecodeFile(platform::FileSystem& files, const std::string& sourcePath, const OutputPlacement& placement,
                      bool keyCheck, DecodeObserver& observer, engine::DecodeBuffers* buffers = nullptr);

} // namespace vantrel::batch
