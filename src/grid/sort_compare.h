#pragma once
// The orders rows are sorted in. Each sort type gives one three-way
// comparison of two cells; the row sort derives its "less or equal" and
// "greater or equal" tests from it. A cell's key is read once per sort, as
// nothing changes a cell while the rows are being sorted.
#include "grid/grid_types.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace vantrel::grid {

class TCell;

// Texts as sequences of 16-bit units, each an unsigned number; a prefix is
// smaller than the longer text. No case folding and no locale, so "B" < "a".
int CompareOrdinal(QStringView a, QStringView b);

// Numbers in a total order: NaN equals NaN and comes before every number.
// A total order matters: the row sort relies on every cell comparing equal
// to itself, which a plain `<` on NaN would break.
int CompareNumbers(double a, double b);

// What one cell is compared by.
struct TSortKey {
    const TCell* Cell = nullptr;
    QString Text;          // the text, for text orders
    double Number = 0.0;   // the value, for stNumeric when IsNumber
    bool IsNumber = false;
    // Four 16-bit units of Text, packed so that comparing two Prefix values
    // as integers orders them as the texts would, when they differ. Equal
    // prefixes say nothing; the texts then decide.
    std::uint64_t Prefix = 0;
};

class TCellComparer {
public:
    // stAlphabetic and stNumeric are the orders this program uses; every
    // other type compares as stAlphabetic.
    explicit TCellComparer(TSortType type) : numeric_(type == stNumeric) {}

    TSortKey KeyOf(const TCell& cell) const;

    // Fills the keys' prefixes from the units just after what all the
    // texts have in common (a shared folder, say), so that most comparisons
    // of one sort are decided without reaching the texts.
    void PreparePrefixes(std::vector<TSortKey>& keys) const;

    // Negative, zero or positive as a sorts before, with or after b.
    // stNumeric compares the values, or the texts when either cell does
    // not read as a number.
    int Compare(const TSortKey& a, const TSortKey& b) const
    {
        if (!numeric_ && a.Prefix != b.Prefix)
            return a.Prefix < b.Prefix ? -1 : 1;
        return CompareKeys(a, b);
    }
    int Compare(const TCell& a, const TCell& b) const { return Compare(KeyOf(a), KeyOf(b)); }

private:
    int CompareKeys(const TSortKey& a, const TSortKey& b) const;

    bool numeric_;
};

} // namespace vantrel::grid
