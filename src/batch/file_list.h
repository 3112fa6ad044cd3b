#pragma once
// The file list's own commands: adding files (the open dialog's Add files,
// and files or folders dropped on the window) and taking rows out again.
// Taking a row out of the list never touches its files.
#include <QStringList>
#include <optional>
#include <vector>

#include "batch/file_services.h"

namespace vantrel::grid {
class TNextGrid;
}
namespace vantrel::platform {
class OpenFilesDialog;
}

namespace vantrel::batch {

// Asks the dialog for files and adds the chosen ones (AddToList). A
// cancelled dialog changes nothing.
void AddFiles(grid::TNextGrid& table, platform::OpenFilesDialog& dialog);

// Appends each path that no row holds yet, in the given order, as one update
// of the table: a path given twice comes in once. Returns how many came in.
int AddToList(grid::TNextGrid& table, const QStringList& paths);

// Local paths dropped on the window: a folder brings the text files under it
// (FindTextFiles: all levels, sorted by path, without the outputs in
// "Decript" folders and in outputFolder, the one chosen for outputs), anything
// else comes as it is, as a name typed into the open dialog would. Then as
// AddToList.
int AddDropped(grid::TNextGrid& table, const QStringList& paths, const std::optional<QString>& outputFolder,
               const FileServices& services);

// The rows whose status is "Decoded", in table order.
std::vector<int> DecodedRows(grid::TNextGrid& table);
void RemoveDecoded(grid::TNextGrid& table);

} // namespace vantrel::batch
