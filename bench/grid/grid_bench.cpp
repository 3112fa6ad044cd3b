// Painting must cost what the visible rows cost, whatever the row count;
// filling 100,000 rows inside an update bracket must stay far below 100 ms,
// and so must sorting them by a text column; reversing an unchanged sort
// costs n/2 row swaps.
#include "grid/next_grid.h"
#include "platform/app_font.h"
#include <QApplication>
#include <QImage>
#include <QRandomGenerator>
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

// Rows in a random order, as files added from many folders arrive.
void Shuffle(TCells& cells, QRandomGenerator& random)
{
    for (int i = cells.RowCount() - 1; i > 0; --i)
        cells.SwapRows(i, random.bounded(i + 1));
}

// A header click on "Source files" over 100,000 shuffled rows, always the
// full quicksort, with a selected row to follow.
void BM_SortTextColumn(benchmark::State& state)
{
    TNextGrid grid;
    grid.resize(859, 476);
    Configure(grid);
    Fill(grid, 100000);
    grid.SetSelectedRow(500);
    TNxCustomColumn& source = grid.Columns()[0];
    source.SetOptions(source.Options() | coFullResort);
    QRandomGenerator random(11);
    for (auto _ : state) {
        state.PauseTiming();
        Shuffle(grid.Cells(), random);
        state.ResumeTiming();
        grid.SortColumn(&source, true);
    }
    state.counters["rows"] = 100000;
}
BENCHMARK(BM_SortTextColumn)->Unit(benchmark::kMillisecond);

// The second click on the same header with nothing changed in between.
void BM_ReverseUnchangedSort(benchmark::State& state)
{
    TNextGrid grid;
    Configure(grid);
    Fill(grid, 100000);
    QRandomGenerator random(5);
    Shuffle(grid.Cells(), random);
    bool ascending = true;
    TSortOutcome outcome = grid.Cells().Sort(0, stAlphabetic, ascending);
    for (auto _ : state) {
        ascending = !ascending;
        outcome = grid.Cells().Sort(0, stAlphabetic, ascending);
    }
    state.counters["swaps"] = static_cast<double>(outcome.Swaps);
    state.counters["reversed"] = outcome.Reversed ? 1 : 0;
}
BENCHMARK(BM_ReverseUnchangedSort)->Unit(benchmark::kMillisecond);

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
