#pragma once
// The Add files command: the only way rows come into the file list.
namespace vantrel::grid {
class TNextGrid;
}
namespace vantrel::platform {
class OpenFilesDialog;
}

namespace vantrel::batch {

// Asks the dialog for files and appends each chosen path that no row holds
// yet, in the dialog's order, as one update of the table. A cancelled dialog
// changes nothing.
void AddFiles(grid::TNextGrid& table, platform::OpenFilesDialog& dialog);

} // namespace vantrel::batch
