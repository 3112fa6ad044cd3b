#include "grid/cells.h"
#include "grid/columns.h"
#include "grid/float_text.h"
#include "grid/grid_errors.h"
#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel::grid {

void TCell::Changed()
{
    owner_->CellChanged();
}

// ---------------------------------------------------------------- TStringCell

bool TStringCell::GetAsBoolean() const
{
    if (text_.isEmpty() || text_.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    if (text_.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(text_));
}

double TStringCell::GetAsFloat() const
{
    return TextToFloat(text_);
}

int TStringCell::GetAsInteger() const
{
    return TextToInteger(text_);
}

void TStringCell::SetAsBoolean(bool value)
{
    text_ = value ? QStringLiteral("True") : QStringLiteral("False");
    Changed();
}

void TStringCell::SetAsFloat(double value)
{
    text_ = FloatToText(value);
    Changed();
}

void TStringCell::SetAsInteger(int value)
{
    text_ = QString::number(value);
    Changed();
}

void TStringCell::SetAsString(const QString& value)
{
    text_ = value;
    Changed();
}

void TStringCell::Clear()
{
    text_.clear();
}

// ----------------------------------------------------------------- TFloatCell

int TFloatCell::GetAsInteger() const
{
    const double rounded = std::nearbyint(value_);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<int>::min()
        || rounded > std::numeric_limits<int>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(FloatToText(value_)));
    return static_cast<int>(rounded);
}

QString TFloatCell::GetAsString() const
{
    return FloatToText(value_);
}

void TFloatCell::SetAsBoolean(bool value)
{
    value_ = value ? 1.0 : 0.0;
    Changed();
}

void TFloatCell::SetAsFloat(double value)
{
    value_ = value;
    Changed();
}

void TFloatCell::SetAsInteger(int value)
{
    value_ = value;
    Changed();
}

void TFloatCell::SetAsString(const QString& value)
{
    value_ = TextToFloat(value);   // throws before anything changes
    Changed();
}

void TFloatCell::Clear()
{
    value_ = 0.0;
}

// --------------------------------------------------------------------- TCells

TCells::TCells() = default;
TCells::~TCells() = default;

void TCells::AddColumn(const TNxCustomColumn& column)
{
    if (ColumnCount() >= MaxColumns)
        throw EGridError(QStringLiteral("Too many columns (%1)").arg(MaxColumns));
    auto& list = columns_.emplace_back();
    list.reserve(rows_.capacity());
    for (size_t r = 0; r < rows_.size(); ++r)
        list.push_back(column.CreateCell(*this));
}

void TCells::AddRows(int count, int rowHeight, const TNxColumns& columns)
{
    if (count < 1)
        return;
    TRow row;
    row.Height = rowHeight;
    rows_.insert(rows_.end(), static_cast<size_t>(count), row);
    for (size_t c = 0; c < columns_.size(); ++c) {
        auto& list = columns_[c];
        for (int i = 0; i < count; ++i)
            list.push_back(columns.Item(static_cast<int>(c)).CreateCell(*this));
    }
    visibleRows_ += count;
    sortMemory_.StillSorted = false;
}

std::vector<int> TCells::RemoveRows(std::vector<int> rows)
{
    std::erase_if(rows, [this](int row) { return row < 0 || row >= RowCount(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return rows;

    // Compacts every list in place: each survivor moves up once, so removing
    // many rows costs one walk over the table, not one per removed row.
    std::vector<bool> removed(rows_.size(), false);
    for (int row : rows)
        removed[static_cast<size_t>(row)] = true;
    auto compact = [&removed](auto& list) {
        size_t kept = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (!removed[i])
                list[kept++] = std::move(list[i]);
        }
        list.resize(kept);
    };
    for (int row : rows)
        if (rows_[static_cast<size_t>(row)].Visible)
            --visibleRows_;
    compact(rows_);
    for (auto& list : columns_)
        compact(list);
    if (currentRow_ >= RowCount())
        currentRow_ = 0;
    return rows;
}

TCell* TCells::GetCell(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= ColumnCount())
        throw EListError(ACol);
    if (ARow < 0 || ARow >= RowCount())
        throw EListError(ARow);
    currentCol_ = ACol;
    currentRow_ = ARow;
    return columns_[static_cast<size_t>(ACol)][static_cast<size_t>(ARow)].get();
}

const TCell* TCells::PeekCell(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= ColumnCount() || ARow < 0 || ARow >= RowCount())
        return nullptr;
    return columns_[static_cast<size_t>(ACol)][static_cast<size_t>(ARow)].get();
}

void TCells::SwapRows(int a, int b)
{
    if (a == b)
        return;
    std::swap(rows_.at(static_cast<size_t>(a)), rows_.at(static_cast<size_t>(b)));
    for (auto& list : columns_)
        std::swap(list[static_cast<size_t>(a)], list[static_cast<size_t>(b)]);
}

void TCells::CellChanged()
{
    if (onChange_)
        onChange_(currentCol_, currentRow_);
    sortMemory_.StillSorted = false;
}

} // namespace vantrel::grid
