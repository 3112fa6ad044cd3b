#include "batch/file_services.h"

#include "platform/posix_file_system.h"

namespace vantrel::batch {

FileServices SystemFileServices()
{
    // Neither keeps state between calls, so one of each serves the program.
    static platform::PosixFileSystem files;
    static const platform::SystemDriveKinds drives;
    return {files, drives};
}

} // namespace vantrel::batch
