#include "batch/file_table.h"

#include "batch/messages.h"
#include "grid/next_grid.h"

#include <QFile>

namespace vantrel::batch {

std::string LocalPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString TablePath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

int FileTable::RowCount() const
{
    return table_.GetRowCount();
}

QString FileTable::Source(int row) const
{
    return table_.GetCell(SourceColumn, row)->GetAsString();
}

QString FileTable::Status(int row) const
{
    return table_.GetCell(StatusColumn, row)->GetAsString();
}

QString FileTable::DecodedPath(int row) const
{
    return table_.GetCell(DecodedColumn, row)->GetAsString();
}

bool FileTable::IsDecoded(int row) const
{
    return Status(row) == QLatin1StringView(DecodedStatus.data(), qsizetype(DecodedStatus.size()));
}

QSet<QString> FileTable::Sources() const
{
    QSet<QString> sources;
    sources.reserve(table_.GetRowCount());
    for (int row = 0; row < table_.GetRowCount(); ++row) sources.insert(Source(row));
    return sources;
}

void FileTable::Append(const QString& source)
{
    table_.AddRow(1);
    const int row = table_.GetRowCount() - 1;
    table_.GetCell(SourceColumn, row)->SetAsString(source);
    SetStatus(row, NotDecodedStatus);
}

void FileTable::SetStatus(int row, std::string_view word, const QString& reason)
{
    grid::TCell* cell = table_.GetCell(StatusColumn, row);
    cell->SetHint(reason);
    cell->SetAsString(QString::fromUtf8(word.data(), qsizetype(word.size())));
}

void FileTable::ResetProgress(int row)
{
    table_.GetCell(ProgressColumn, row)->SetAsInteger(0);
}

void FileTable::SetProgress(int row, double percent)
{
    table_.GetCell(ProgressColumn, row)->SetAsFloat(percent);
}

void FileTable::SetDecodedPath(int row, const QString& path)
{
    table_.GetCell(DecodedColumn, row)->SetAsString(path);
}

} // namespace vantrel::batch
