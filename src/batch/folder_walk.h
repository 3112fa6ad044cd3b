#pragma once
// The text files under a folder, for adding a whole folder to the file list
// at once. The names match as in the open dialog's "*.txt" filter, whose
// matching ignores letter case: "NOTES.TXT" is a text file too. Hidden files
// and folders (names that begin with ".") are left out, as the dialog and
// file managers leave them out of their views.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_lister.h"

namespace vantrel::batch {

// A name that ends in ".txt", in any letter case.
bool IsTextFileName(std::string_view name);

struct TextFileWalk {
    // Full paths, sorted by their bytes: the order a sort of the table's
    // "Source files" column gives them.
    std::vector<std::string> files;
    // Folders that could not be read, the given one included; their
    // contents are missing from `files`.
    std::vector<std::string> unreadableFolders;
};

// Every text file below `folder`, all levels down. Symbolic links to folders
// are not followed, so a link back up cannot make the walk loop; links to
// files count as files.
//
// The program's own outputs are no sources: below `folder`, every folder
// named "Decript" is left out, and so is `outputFolder` (the folder the
// user chose for outputs) wherever it lies in the tree. `folder` itself is
// walked whatever its name, as the user asked for it.
TextFileWalk FindTextFiles(const platform::FolderLister& lister, const std::string& folder,
                           const std::optional<std::string>& outputFolder = std::nullopt);

} // namespace vantrel::batch
