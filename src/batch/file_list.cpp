#include "batch/file_list.h"

#include "batch/file_table.h"
#include "grid/next_grid.h"
#include "platform/desktop_services.h"

namespace vantrel::batch {
namespace {

// Keeps the table's update bracket balanced even if a row cannot be added:
// a bracket left open would stop the table from ever repainting.
class UpdateBracket {
public:
    explicit UpdateBracket(grid::TNextGrid& table) : table_(table) { table_.BeginUpdate(); }
    ~UpdateBracket() { table_.EndUpdate(true); }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

private:
    grid::TNextGrid& table_;
};

} // namespace

void AddFiles(grid::TNextGrid& table, platform::OpenFilesDialog& dialog)
{
    const std::optional<QStringList> chosen = dialog.Execute();
    if (!chosen) return;

    FileTable files(table);
    UpdateBracket bracket(table);
    // Rows added a moment ago take part, so a path chosen twice comes in once.
    for (const QString& path : *chosen) {
        if (!files.Contains(path)) files.Append(path);
    }
}

} // namespace vantrel::batch
