// Files dropped on the window: 10,000 files must come into the list in well
// under a second, also when the list already holds 10,000 others (the
// duplicate test must not cost a pass over the rows per file), and so must a
// dropped folder holding them. Timed from the drop until the rows are in and
// painted, on a shown offscreen window. The "busy" counter is the share of
// the dropped paths looked at while the cursor showed work (1 = all).
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <benchmark/benchmark.h>
#include <memory>

#include "batch/file_list.h"
#include "grid/next_grid.h"
#include "platform/posix_file_system.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/main_form.h"

namespace {

using namespace vantrel;

constexpr int FileCount = 10000;
constexpr int FolderCount = 100;

// The real file system, noting the cursor whenever a dropped path is looked at.
class CursorNotingFileSystem final : public platform::FileSystem {
public:
    mutable long long looks = 0;
    mutable long long busyLooks = 0;

    bool FolderExists(const std::string& path) const override
    {
        ++looks;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        if (cursor && cursor->shape() == Qt::WaitCursor) ++busyLooks;
        return real_.FolderExists(path);
    }
    platform::OpenedFile OpenForReading(const std::string& path) override { return real_.OpenForReading(path); }
    platform::CreatedUnnamedFile CreateUnnamed(const std::string& folder, const platform::OutputAccess& access) override
    {
        return real_.CreateUnnamed(folder, access);
    }
    platform::CreatedUnnamedFile CreateUnderTemporaryName(const std::string& folder,
                                                          const platform::OutputAccess& access) override
    {
        return real_.CreateUnderTemporaryName(folder, access);
    }
    bool FileExists(const std::string& path) const override { return real_.FileExists(path); }
    std::optional<platform::FileStamp> Stamp(const std::string& path) const override { return real_.Stamp(path); }
    std::string CreateFolder(const std::string& path) override { return real_.CreateFolder(path); }

private:
    platform::PosixFileSystem real_;
};

// FileCount empty text files in FolderCount folders, made once.
struct DropSource {
    DropSource()
    {
        QDir root(dir.path());
        for (int i = 0; i < FileCount; ++i) {
            const QString folder = QStringLiteral("folder/part%1").arg(i % FolderCount, 3, 10, QLatin1Char('0'));
            root.mkpath(folder);
            const QString path = root.filePath(QStringLiteral("%1/file%2.txt").arg(folder).arg(i, 5, 10, QLatin1Char('0')));
            QFile(path).open(QIODevice::WriteOnly);
            files.append(QUrl::fromLocalFile(path));
        }
        folder = {QUrl::fromLocalFile(root.filePath(QStringLiteral("folder")))};
    }
    QTemporaryDir dir;
    QList<QUrl> files;
    QList<QUrl> folder;
};

DropSource& Source()
{
    static DropSource source;
    return source;
}

void Drop(benchmark::State& state, const QList<QUrl>& urls, int alreadyListed)
{
    platform::DesktopDoubles desktop;
    const platform::SystemDriveKinds drives;
    CursorNotingFileSystem files;
    int rowsAdded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<ui::TMain_form>(desktop.Services(), batch::FileServices{files, drives});
        if (alreadyListed > 0) {
            QStringList listed;
            for (int i = 0; i < alreadyListed; ++i) listed.append(QStringLiteral("/listed/file%1.txt").arg(i));
            batch::AddToList(*form->NextGrid1, listed);
        }
        form->show();
        QApplication::processEvents();
        QMimeData data;
        data.setUrls(urls);
        state.ResumeTiming();

        QDragEnterEvent enter(QPoint(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        QDropEvent drop(QPointF(200, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &drop);
        QApplication::processEvents();   // the rows come in, and are painted

        state.PauseTiming();
        rowsAdded = form->NextGrid1->GetRowCount() - alreadyListed;
        form.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rowsAdded;
    state.counters["busy"] = files.looks ? double(files.busyLooks) / double(files.looks) : 0.0;
    if (rowsAdded != FileCount) state.SkipWithError("not every dropped file came in");
}

void BM_DropTenThousandFiles(benchmark::State& state)
{
    Drop(state, Source().files, 0);
}
BENCHMARK(BM_DropTenThousandFiles)->Unit(benchmark::kMillisecond);

void BM_DropTenThousandFilesOntoTenThousandListed(benchmark::State& state)
{
    Drop(state, Source().files, FileCount);
}
BENCHMARK(BM_DropTenThousandFilesOntoTenThousandListed)->Unit(benchmark::kMillisecond);

void BM_DropFolderOfTenThousandFiles(benchmark::State& state)
{
    Drop(state, Source().folder, 0);
}
BENCHMARK(BM_DropFolderOfTenThousandFiles)->Unit(benchmark::kMillisecond);

} // namespace
