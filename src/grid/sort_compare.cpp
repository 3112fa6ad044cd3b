#include "grid/sort_compare.h"
#include "grid/cells.h"
#include "grid/grid_errors.h"
#include <algorithm>
#include <cmath>

namespace vantrel::grid {

int CompareOrdinal(QStringView a, QStringView b)
{
    // Qt's case-sensitive comparison goes unit by unit over the UTF-16
    // code units (surrogates too, not by code point), with the shorter of
    // two prefixes first; it is vectorised, which long common path
    // prefixes need.
    return a.compare(b, Qt::CaseSensitive);
}

int CompareNumbers(double a, double b)
{
    const bool aNaN = std::isnan(a);
    const bool bNaN = std::isnan(b);
    if (aNaN || bNaN)
        return aNaN == bNaN ? 0 : (aNaN ? -1 : 1);
    return a < b ? -1 : (b < a ? 1 : 0);
}

TSortKey TCellComparer::KeyOf(const TCell& cell) const
{
    TSortKey key;
    key.Cell = &cell;
    if (!numeric_) {
        key.Text = cell.GetAsString();
        return key;
    }
    try {
        key.Number = cell.GetAsFloat();
        key.IsNumber = true;
    } catch (const EGridError&) {
        key.Text = cell.GetAsString();
    }
    return key;
}

void TCellComparer::PreparePrefixes(std::vector<TSortKey>& keys) const
{
    if (numeric_ || keys.empty())
        return;
    qsizetype common = keys.front().Text.size();
    for (const TSortKey& key : keys) {
        const QStringView first = keys.front().Text;
        const QStringView text = key.Text;
        qsizetype n = 0;
        const qsizetype limit = std::min(common, text.size());
        while (n < limit && first[n] == text[n])
            ++n;
        common = n;
    }
    // A text that ends early is padded with zero units: where that decides,
    // the shorter text is a prefix of the other and sorts first; where a real
    // zero unit meets the padding, the prefixes are equal and the texts decide.
    for (TSortKey& key : keys) {
        std::uint64_t packed = 0;
        for (qsizetype i = common; i < common + 4; ++i)
            packed = (packed << 16) | (i < key.Text.size() ? key.Text[i].unicode() : 0u);
        key.Prefix = packed;
    }
}

int TCellComparer::CompareKeys(const TSortKey& a, const TSortKey& b) const
{
    if (!numeric_)
        return CompareOrdinal(a.Text, b.Text);
    if (a.IsNumber && b.IsNumber)
        return CompareNumbers(a.Number, b.Number);
    // Against a word a number compares by its text, read only when needed.
    const QString left = a.IsNumber ? a.Cell->GetAsString() : a.Text;
    const QString right = b.IsNumber ? b.Cell->GetAsString() : b.Text;
    return CompareOrdinal(left, right);
}

} // namespace vantrel::grid
