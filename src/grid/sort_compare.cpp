#include "grid/sort_compare.h"
#include "grid/cells.h"
#include "grid/grid_errors.h"
#include <cmath>
#include <string_view>

namespace vantrel::grid {

int CompareOrdinal(QStringView a, QStringView b)
{
    // char16_t is unsigned, so the standard comparison is exactly unit by
    // unit as unsigned numbers, with the shorter of two prefixes first.
    const std::u16string_view left(a.utf16(), static_cast<size_t>(a.size()));
    const std::u16string_view right(b.utf16(), static_cast<size_t>(b.size()));
    return left.compare(right);
}

int CompareNumbers(double a, double b)
{
    const bool aNaN = std::isnan(a);
    const bool bNaN = std::isnan(b);
    if (aNaN || bNaN)
        return aNaN == bNaN ? 0 : (aNaN ? -1 : 1);
    return a < b ? -1 : (b < a ? 1 : 0);
}

int TCellComparer::Compare(const TCell& a, const TCell& b) const
{
    if (type_ == stNumeric)
        return CompareNumeric(a, b);
    return CompareOrdinal(a.GetAsString(), b.GetAsString());
}

int TCellComparer::CompareNumeric(const TCell& a, const TCell& b)
{
    double x = 0.0;
    double y = 0.0;
    try {
        x = a.GetAsFloat();
        y = b.GetAsFloat();
    } catch (const EGridError&) {
        return CompareOrdinal(a.GetAsString(), b.GetAsString());
    }
    return CompareNumbers(x, y);
}

} // namespace vantrel::grid
