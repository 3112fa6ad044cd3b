#pragma once
// The file side of the machine that a run works with: the files themselves
// and the kinds of drive they lie on, and the folders that files are added
// from. Tests hand in doubles.
#include "platform/drive_kinds.h"
#include "platform/file_system.h"
#include "platform/folder_lister.h"

namespace vantrel::batch {

struct FileServices {
    platform::FileSystem& files;
    const platform::DriveKinds& drives;
    const platform::FolderLister& folders = platform::SystemFolderLister();
};

// This machine's file system and mount table.
FileServices SystemFileServices();

} // namespace vantrel::batch
