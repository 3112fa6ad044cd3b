#pragma once
// The outputs the window's runs wrote, by the path the file table shows for
// them: rows are sorted and removed at will, their decoded paths stay.
#include <QHash>
#include <QSet>
#include <QString>

#include "batch/recorded_output.h"

namespace vantrel::batch {

class RunOutputs {
public:
    void Record(const QString& tablePath, OutputRecord record) { records_.insert(tablePath, std::move(record)); }
    // Nothing for a path no run of this window wrote.
    const OutputRecord* Find(const QString& tablePath) const
    {
        const auto found = records_.constFind(tablePath);
        return found == records_.cend() ? nullptr : &found.value();
    }
    // Forgets the outputs that no row shows any more.
    void KeepOnly(const QSet<QString>& tablePaths)
    {
        records_.removeIf([&tablePaths](const auto& record) { return !tablePaths.contains(record.key()); });
    }

private:
    QHash<QString, OutputRecord> records_;
};

} // namespace vantrel::batch
