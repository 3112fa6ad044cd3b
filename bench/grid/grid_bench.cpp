// Painting must cost what the visible rows cost, whatever the row count;
// filling 100,000 rows inside an update bracket must stay far below 100 ms.
#include "grid/next_grid.h"
#include "platform/app_font.h"
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <benchmark/benchmark.h>

using namespace vantrel::grid;

namespace {

void Configure(TNextGrid& grid)
{
    grid.SetOptions(goCanHideColumn | goGrid | goHeader | goSelectFullRow);
    grid.SetHeaderStyle(hsOffice2010);
    const struct { const char* caption; int width; } texts[] = {{"Source files", 306}, {"Status", 124}};
    for (auto t : texts) {
        auto& c = grid.Columns().Add<TNxTextColumn>();
        c.Header().Caption = QString::fromLatin1(t.caption);
        c.SetWidth(t.width);
    }
    auto& p = grid.Columns().Add<TNxProgressColumn>();
    p.Header().Caption = QStringLiteral("Progress");
    p.SetWidth(77);
    p.ProgressStyle = psGradient;
    p.ShowText = true;
    p.TextPosition = tpInside;
    p.Margin = 0;
    auto& d = grid.Columns().Add<TNxTextColumn>();
    d.Header().Caption = QStringLiteral("Decoded files");
    d.SetWidth(323);
}

void Fill(TNextGrid& grid, int rows)
{
    grid.BeginUpdate();
    for (int r = 0; r < rows; ++r) {
        grid.AddRow(1);
        grid.GetCell(0, r)->SetAsString(QStringLiteral("C:/texts/file%1.txt").arg(r));
        grid.GetCell(1, r)->SetAsString(QStringLiteral("Decoded"));
        grid.GetCell(2, r)->SetAsFloat(r % 101);
        grid.GetCell(3, r)->SetAsString(QStringLiteral("C:/texts/Decript/file%1-dec.txt").arg(r));
    }
    grid.EndUpdate();
}

void BM_PaintWholeView(benchmark::State& state)
{
    TNextGrid grid;
    grid.resize(859, 476);
    Configure(grid);
    Fill(grid, static_cast<int>(state.range(0)));
    grid.show();
    QCoreApplication::processEvents();
    grid.SetSelectedRow(grid.GetRowCount() / 2);
    grid.verticalScrollBar()->setValue(grid.GetRowCount() / 2);
    QImage target(grid.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        grid.viewport()->render(&target, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_PaintWholeView)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_AddRowsInsideBracket(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = std::make_unique<TNextGrid>();
        Configure(*grid);
        state.ResumeTiming();
        grid->BeginUpdate();
        for (int r = 0; r < 100000; ++r)
            grid->AddRow(1);
        grid->EndUpdate();
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddRowsInsideBracket)->Unit(benchmark::kMillisecond);

void BM_CellChangeOutsideBracket(benchmark::State& state)
{
    TNextGrid grid;
    Configure(grid);
    Fill(grid, 1000);
    int v = 0;
    for (auto _ : state)
        grid.GetCell(2, 10)->SetAsInteger(++v % 101);
}
BENCHMARK(BM_CellChangeOutsideBracket);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(vantrel::platform::ApplicationFont());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
