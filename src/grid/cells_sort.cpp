// The store's row sort: a reversal of the previous order when nothing
// changed since, otherwise a randomised quicksort. Both move row records and
// cell objects (pointer swaps), never cell values.
#include "grid/cells.h"
#include "grid/sort_compare.h"
#include <utility>

namespace vantrel::grid {

class TRowQuickSort {
public:
    TRowQuickSort(TCells& cells, TSortType type, bool ascending)
        : cells_(cells), comparer_(type), ascending_(ascending)
    {
    }

    // Reads every row's key of column ACol; the keys then move with their rows.
    void ReadKeys(int ACol)
    {
        const auto& column = cells_.columns_[static_cast<size_t>(ACol)];
        keys_.reserve(column.size());
        for (const auto& cell : column)
            keys_.push_back(comparer_.KeyOf(*cell));
        comparer_.PreparePrefixes(keys_);
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
    const TSortKey& Key(int row) const { return keys_[static_cast<size_t>(row)]; }
    const TCell* Cell(int row) const { return Key(row).Cell; }

    // Hoare's scheme around a pivot cell P drawn from lo+1..hi. P is one cell
    // and stays that cell while rows move, so each scan stops at P itself at
    // the latest and the split point lies in lo+1..hi.
    int Partition(int lo, int hi)
    {
        std::uniform_int_distribution<int> draw(lo + 1, hi);
        const TSortKey pivot = Key(draw(cells_.pivotSource_));
        int i = lo - 1;
        int j = hi + 1;
        do {
            do
                ++i;
            while (!PivotAtMost(pivot, Key(i)));
            do
                --j;
            while (!PivotAtLeast(pivot, Key(j)));
            if (Cell(i) != Cell(j))
                Swap(i, j);
        } while (j > i);
        // The scans crossed: the last swap put two rows on the wrong sides.
        if (Cell(i) != Cell(j))
            Swap(i, j);
        return i;
    }

    // P <= C in the sort's direction (P >= C when descending).
    bool PivotAtMost(const TSortKey& pivot, const TSortKey& key) const
    {
        const int order = comparer_.Compare(pivot, key);
        return ascending_ ? order <= 0 : order >= 0;
    }

    bool PivotAtLeast(const TSortKey& pivot, const TSortKey& key) const
    {
        const int order = comparer_.Compare(pivot, key);
        return ascending_ ? order >= 0 : order <= 0;
    }

    void Swap(int a, int b)
    {
        cells_.SwapRows(a, b);
        if (!keys_.empty())
            std::swap(keys_[static_cast<size_t>(a)], keys_[static_cast<size_t>(b)]);
        ++swaps_;
    }

    TCells& cells_;
    std::vector<TSortKey> keys_;   // empty for a reversal, which compares nothing
    TCellComparer comparer_;
    bool ascending_;
    long long swaps_ = 0;
};

TSortOutcome TCells::Sort(int ACol, TSortType type, bool ascending, bool fullResort)
{
    if (ACol < 0 || ACol >= ColumnCount())
        return {};
    TSortOutcome outcome;
    TRowQuickSort sorter(*this, type, ascending);
    outcome.Reversed = !fullResort && sortMemory_.StillSorted && sortMemory_.LastColumn == ACol
                    && sortMemory_.LastAscending != ascending;
    if (outcome.Reversed) {
        sorter.Reverse();
    } else {
        sorter.ReadKeys(ACol);
        sorter.Sort(0, RowCount() - 1);
    }
    outcome.Swaps = sorter.Swaps();
    sortMemory_.LastColumn = ACol;
    sortMemory_.LastAscending = ascending;
    sortMemory_.StillSorted = true;
    return outcome;
}

} // namespace vantrel::grid
