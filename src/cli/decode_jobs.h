#pragma once
// Decoding a list of files with up to N of them at once, each on a thread of
// its own. The caller hears of everything on its own thread, through a
// JobsListener: results in input order, each as soon as it and every one
// before it are known.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "batch/decode_file.h"
#include "batch/output_files.h"
#include "platform/file_system.h"

namespace vantrel::cli {

struct JobsProgress {
    std::size_t filesDone = 0;
    std::size_t files = 0;
    std::uint64_t bytesDone = 0; // counted only for sources with a known size
    std::uint64_t bytes = 0;
    // The first source still being decoded, else the last one started;
    // nothing before the first has started.
    std::optional<std::size_t> current;
    bool over = false; // every source is done, or will not be started
};

class JobsListener {
public:
    virtual ~JobsListener() = default;
    // The key check has just rejected sources[index].
    virtual void Rejected(std::size_t index) = 0;
    // Once for every source, in input order; nothing for a source that was
    // not started because of an interruption.
    virtual void Finished(std::size_t index, const std::optional<batch::FileResult>& result) = 0;
    // After results, every tenth of a second while files decode, and once
    // at the end with `over` set.
    virtual void Progress(const JobsProgress& progress) = 0;
};

struct JobsSetup {
    platform::FileSystem& files; // shared by all jobs
    batch::OutputPlacement placement;
    bool keyCheck = true;
    unsigned jobs = 1; // at least 1
    // Asked by the jobs, one at a time, before each file and while it
    // decodes; once true, no file is started and the running ones stop.
    std::function<bool()> interrupted;
};

// Decodes the sources with the tables already prepared and returns when
// every one is done or, after an interruption, every started one has
// stopped. sizes, when not empty, holds each source's size for the progress.
// Returns why not a single job could be started; then nothing was done.
std::string RunDecodeJobs(std::span<const std::string> sources, std::span<const std::uint64_t> sizes,
                          const JobsSetup& setup, JobsListener& listener);

// The number of processors this process may run on.
unsigned ProcessorCount();

} // namespace vantrel::cli
