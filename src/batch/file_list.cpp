#include "batch/file_list.h"

#include "batch/file_table.h"
#include "batch/folder_walk.h"
#include "batch/messages.h"
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
    AddToList(table, *chosen);
}

int AddToList(grid::TNextGrid& table, const QStringList& paths)
{
    FileTable files(table);
    QSet<QString> listed = files.Sources();
    UpdateBracket bracket(table);
    int added = 0;
    // Rows added a moment ago take part, so a path given twice comes in once.
    for (const QString& path : paths) {
        if (listed.contains(path)) continue;
        listed.insert(path);
        files.Append(path);
        ++added;
    }
    return added;
}

int AddDropped(grid::TNextGrid& table, const QStringList& paths, const std::optional<QString>& outputFolder,
               const FileServices& services)
{
    const std::optional<std::string> outputs = outputFolder ? std::optional(LocalPath(*outputFolder)) : std::nullopt;
    QStringList expanded;
    for (const QString& path : paths) {
        const std::string local = LocalPath(path);
        if (!services.files.FolderExists(local)) {
            expanded.append(path);
            continue;
        }
        for (const std::string& file : FindTextFiles(services.folders, local, outputs).files)
            expanded.append(TablePath(file));
    }
    return AddToList(table, expanded);
}

std::vector<int> DecodedRows(grid::TNextGrid& table)
{
    const FileTable files(table);
    std::vector<int> rows;
    for (int row = 0; row < files.RowCount(); ++row)
        if (files.IsDecoded(row)) rows.push_back(row);
    return rows;
}

void RemoveDecoded(grid::TNextGrid& table)
{
    table.DeleteRows(DecodedRows(table));
}

} // namespace vantrel::batch
