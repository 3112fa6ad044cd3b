// "View decoded text" on a 1 GiB output: how long until the window shows
// the text, how long the text takes to go in completely, the longest time
// the window cannot answer meanwhile, and the memory the process needs.
// The output is 1 GiB whose first 32 MiB are Russian letter lines in CP1251;
// the rest is a hole, which reads as zeros and is never read anyway.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <ctime>
#include <sys/resource.h>

#include "batch/run_outputs.h"
#include "platform/posix_file_system.h"
#include "platform/testing/desktop_doubles.h"
#include "ui/text_pane.h"
#include "ui/text_viewer.h"
#include "ui/text_viewers.h"

namespace {

using namespace vantrel;

constexpr std::int64_t OutputSize = std::int64_t(1) << 30;

struct LargeOutput {
    LargeOutput()
    {
        // "Строка письма номер ..." with a Windows line end, in CP1251.
        const std::string line = "\xd1\xf2\xf0\xee\xea\xe0 \xef\xe8\xf1\xfc\xec\xe0 \xed\xee\xec\xe5\xf0 ";
        std::string block;
        for (int n = 0; block.size() < (std::size_t(1) << 20); ++n) block += line + std::to_string(n) + "\r\n";
        {
            std::ofstream out(path.toStdString(), std::ios::binary);
            for (int i = 0; i < 32; ++i) out.write(block.data(), std::streamsize(block.size()));
        }
        std::filesystem::resize_file(path.toStdString(), OutputSize);
    }
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("letters-dec.txt"));
};

// This thread's processor time, which a busy machine does not stretch.
std::int64_t ThreadCpuNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double PeakMemoryMiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_ViewOneGibibyteOutput(benchmark::State& state)
{
    static LargeOutput output;
    platform::PosixFileSystem files;
    batch::RunOutputs outputs;
    outputs.Record(output.path, {"CP1251", *files.Stamp(output.path.toStdString())});
    platform::DesktopDoubles desktop;
    QWidget mainWindow;
    mainWindow.show();
    ui::TextViewers viewers(outputs, files, desktop.messages, mainWindow);

    double openSeconds = 0;
    double openCpuSeconds = 0;
    double fillSeconds = 0;
    double longestStall = 0;
    double longestCpuStall = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const std::int64_t startCpu = ThreadCpuNs();
        ui::TextViewer* viewer = viewers.Open(output.path);
        if (!viewer) {
            state.SkipWithError("the viewer did not open");
            return;
        }
        openSeconds = double(clock.nsecsElapsed()) / 1e9;
        openCpuSeconds = double(ThreadCpuNs() - startCpu) / 1e9;

        // The longest time between two turns of the event loop while the
        // rest of the text goes in: as the clock sees it, and as the work
        // of this thread alone.
        qint64 last = clock.nsecsElapsed();
        std::int64_t lastCpu = ThreadCpuNs();
        qint64 stall = 0;
        std::int64_t cpuStall = 0;
        while (!viewer->Text().IsFilled()) {
            QApplication::processEvents();
            const qint64 now = clock.nsecsElapsed();
            const std::int64_t nowCpu = ThreadCpuNs();
            stall = std::max(stall, now - last);
            cpuStall = std::max(cpuStall, nowCpu - lastCpu);
            last = now;
            lastCpu = nowCpu;
        }
        fillSeconds = double(clock.nsecsElapsed()) / 1e9;
        longestStall = std::max(longestStall, double(stall) / 1e9);
        longestCpuStall = std::max(longestCpuStall, double(cpuStall) / 1e9);
        viewer->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["open_s"] = openSeconds;
    state.counters["open_cpu_s"] = openCpuSeconds;
    state.counters["filled_s"] = fillSeconds;
    state.counters["longest_stall_s"] = longestStall;
    state.counters["longest_stall_cpu_s"] = longestCpuStall;
    state.counters["peak_MiB"] = PeakMemoryMiB();
}
BENCHMARK(BM_ViewOneGibibyteOutput)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
