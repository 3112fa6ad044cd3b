// The store's row sort: a reversal of the previous order when nothing
// changed since, otherwise a randomised quicksort. Both move row records and
// cell objects (pointer swaps), never cell values.
#include "grid/cells.h"
#include "grid/sort_compare.h"

namespace vantrel::grid {

class TRowQuickSort {
public:
    TRowQuickSort(TCells& cells, int ACol, TSortType type, bool ascending)
        : cells_(cells), key_(cells.columns_[static_cast<size_t>(ACol)]), comparer_(type), ascending_(ascending)
    {
    }

    void Sort(int lo, int hi)
    {
        while (lo < hi) {
            const int split = Partition(lo, hi);
            // Recursing only into the smaller part keeps the stack depth
            // logarithmic whatever the pivots turn out to be.
            if (split - lo < hi - split + 1) {
                Sort(lo, split - 1);
                lo = split;
            } else {
                Sort(split, hi);
                hi = split - 1;
            }
        }
    }

    void Reverse()
    {
        const int n = cells_.RowCount();
        for (int i = 0; i < n / 2; ++i)
            Swap(i, n - 1 - i);
    }

    long long Swaps() const { return swaps_; }

private:
    const TCell* Cell(int row) const { return key_[static_cast<size_t>(row)].get(); }

    // Hoare's scheme around a pivot cell P drawn from lo+1..hi. P is one cell
    // object and stays that object while rows move, so each scan stops at P
    // itself at the latest and the split point lies in lo+1..hi.
    int Partition(int lo, int hi)
    {
        std::uniform_int_distribution<int> draw(lo + 1, hi);
        const TCell& pivot = *Cell(draw(cells_.pivotSource_));
        int i = lo - 1;
        int j = hi + 1;
        do {
            do
                ++i;
            while (!PivotAtMost(pivot, *Cell(i)));
            do
                --j;
            while (!PivotAtLeast(pivot, *Cell(j)));
            if (Cell(i) != Cell(j))
                Swap(i, j);
        } while (j > i);
        // The scans crossed: the last swap put two rows on the wrong sides.
        if (Cell(i) != Cell(j))
            Swap(i, j);
        return i;
    }

    // P <= C in the sort's direction (P >= C when descending).
    bool PivotAtMost(const TCell& pivot, const TCell& cell) const
    {
        const int order = comparer_.Compare(pivot, cell);
        return ascending_ ? order <= 0 : order >= 0;
    }

    bool PivotAtLeast(const TCell& pivot, const TCell& cell) const
    {
        const int order = comparer_.Compare(pivot, cell);
        return ascending_ ? order >= 0 : order <= 0;
    }

    void Swap(int a, int b)
    {
        cells_.SwapRows(a, b);
        ++swaps_;
    }

    TCells& cells_;
    const std::vector<std::unique_ptr<TCell>>& key_;
    TCellComparer comparer_;
    bool ascending_;
    long long swaps_ = 0;
};

TSortOutcome TCells::Sort(int ACol, TSortType type, bool ascending, bool fullResort)
{
    if (ACol < 0 || ACol >= ColumnCount())
        return {};
    TSortOutcome outcome;
    TRowQuickSort sorter(*this, ACol, type, ascending);
    outcome.Reversed = !fullResort && sortMemory_.StillSorted && sortMemory_.LastColumn == ACol
                    && sortMemory_.LastAscending != ascending;
    if (outcome.Reversed)
        sorter.Reverse();
    else
        sorter.Sort(0, RowCount() - 1);
    outcome.Swaps = sorter.Swaps();
    sortMemory_.LastColumn = ACol;
    sortMemory_.LastAscending = ascending;
    sortMemory_.StillSorted = true;
    return outcome;
}

} // namespace vantrel::grid
