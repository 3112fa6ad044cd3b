#pragma once
// The file list has no store of its own: it is the rows of the window's file
// table. This is the list's view of those rows: cells are addressed by the
// columns' Index (never by where the user dragged them) and rows by their
// place in the current order, looked up afresh every time.
#include <QSet>
#include <QString>
#include <string>
#include <string_view>

namespace vantrel::grid {
class TNextGrid;
}

namespace vantrel::batch {

enum FileColumn : int {
    SourceColumn = 0,   // "Source files"
    StatusColumn = 1,   // "Status"
    ProgressColumn = 2, // "Progress"
    DecodedColumn = 3,  // "Decoded files"
};

// The table holds paths as 16-bit text; file operations take the system's
// 8-bit form.
std::string LocalPath(const QString& path);
QString TablePath(const std::string& path);

class FileTable {
public:
    explicit FileTable(grid::TNextGrid& table) : table_(table) {}

    grid::TNextGrid& Grid() const { return table_; }
    int RowCount() const;

    QString Source(int row) const;
    QString Status(int row) const;
    QString DecodedPath(int row) const;
    // The row's latest run decoded it: its decoded path names a whole output.
    bool IsDecoded(int row) const;
    // Every row's source, for the duplicate test of adding: a set compares
    // the exact 16-bit text (no case folding, no normalising) in constant
    // time, where a look through the rows would make adding n files cost n².
    QSet<QString> Sources() const;
    // A new last row, "Not decoded"; progress and decoded path as a new row
    // has them.
    void Append(const QString& source);

    // reason, when a file failed, is the status cell's tool tip.
    void SetStatus(int row, std::string_view word, const QString& reason = {});
    // The bar back at 0 when a row's turn begins.
    void ResetProgress(int row);
    void SetProgress(int row, double percent);
    void SetDecodedPath(int row, const QString& path);

private:
    grid::TNextGrid& table_;
};

} // namespace vantrel::batch
