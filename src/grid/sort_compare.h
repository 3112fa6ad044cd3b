#pragma once
// The orders rows are sorted in. Each sort type gives one three-way
// comparison of two cells; the row sort derives its "less or equal" and
// "greater or equal" tests from it.
#include "grid/grid_types.h"
#include <QStringView>

namespace vantrel::grid {

class TCell;

// Texts as sequences of 16-bit units, each an unsigned number; a prefix is
// smaller than the longer text. No case folding and no locale, so "B" < "a".
int CompareOrdinal(QStringView a, QStringView b);

// Numbers in a total order: NaN equals NaN and comes before every number.
// A total order matters: the row sort relies on every cell comparing equal
// to itself, which a plain `<` on NaN would break.
int CompareNumbers(double a, double b);

class TCellComparer {
public:
    // stAlphabetic and stNumeric are the orders this program uses; every
    // other type compares as stAlphabetic.
    explicit TCellComparer(TSortType type) : type_(type) {}

    // Negative, zero or positive as a sorts before, with or after b.
    int Compare(const TCell& a, const TCell& b) const;

private:
    // The cells' numbers; their texts when either does not read as one.
    static int CompareNumeric(const TCell& a, const TCell& b);

    TSortType type_;
};

} // namespace vantrel::grid
