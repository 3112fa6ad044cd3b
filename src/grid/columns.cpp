#include "grid/columns.h"
#include "grid/cells.h"
#include "grid/column_display.h"
#include "grid/grid_errors.h"
#include <algorithm>

namespace vantrel::grid {

// ------------------------------------------------------------ TNxCustomColumn

TNxCustomColumn::TNxCustomColumn() = default;
TNxCustomColumn::~TNxCustomColumn() = default;

void TNxCustomColumn::SetWidth(int width)
{
    width = std::max(width, minWidth_);
    if (width == width_)
        return;
    width_ = width;
    Changed(ccWidth);
}

void TNxCustomColumn::SetMinWidth(int width)
{
    minWidth_ = std::max(0, width);
    if (width_ < minWidth_)
        SetWidth(minWidth_);
}

void TNxCustomColumn::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    Changed(ccVisible);
}

void TNxCustomColumn::SetPadding(int padding)
{
    padding_ = std::max(0, padding);
    Changed(ccUndefined);
}

void TNxCustomColumn::SetAlignment(Qt::Alignment a)
{
    alignment_ = a & Qt::AlignHorizontal_Mask;
    Changed(ccUndefined);
}

void TNxCustomColumn::SetSortType(TSortType t)
{
    if (t == sortType_)
        return;
    sortType_ = t;
    Changed(ccSortTypeChange);
}

void TNxCustomColumn::SetSorted(bool sorted)
{
    if (sorted == sorted_)
        return;
    sorted_ = sorted;
    Changed(sorted ? ccSorted : ccUnsorted);
}

void TNxCustomColumn::SetSortKind(TSortKind k)
{
    if (k == sortKind_)
        return;
    sortKind_ = k;
    Changed(ccSortTypeChange);
}

QString TNxCustomColumn::GetDrawText(const TCell& cell) const
{
    return cell.GetAsString();
}

std::unique_ptr<TCell> TNxCustomColumn::CreateCell(TCells& owner) const
{
    std::unique_ptr<TCell> cell;
    if (columnType_ == ctFloat)
        cell = std::make_unique<TFloatCell>(owner);
    else
        cell = std::make_unique<TStringCell>(owner);
    TFontStyles style;
    if (font_) {
        if (font_->bold())
            style |= fsBold;
        if (font_->italic())
            style |= fsItalic;
        if (font_->underline())
            style |= fsUnderline;
        if (font_->strikeOut())
            style |= fsStrikeOut;
    }
    cell->SetFontStyle(style);
    cell->SetFontColor(fontColor_);
    cell->SetColor(color_);
    return cell;
}

std::unique_ptr<TColumnDisplay> TNxCustomColumn::GetColumnDisplayClass() const
{
    return std::make_unique<TTextColumnDisplay>(*this);
}

void TNxCustomColumn::Changed(TColumnChangeKind kind)
{
    if (owner_)
        owner_->Notify(*this, kind);
}

// -------------------------------------------------------------- TNxTextColumn

TNxTextColumn::TNxTextColumn()
{
    SetOptions(Options() | coShowTextFitHint);
}

QString TNxTextColumn::GetDrawText(const TCell& cell) const
{
    return textBefore_ + cell.GetAsString() + textAfter_;
}

std::unique_ptr<TColumnDisplay> TNxTextColumn::GetColumnDisplayClass() const
{
    return std::make_unique<TTextColumnDisplay>(*this);
}

// ---------------------------------------------------------- TNxProgressColumn

TNxProgressColumn::TNxProgressColumn()
{
    SetColumnType(ctFloat);
    SetDefaultValue(QStringLiteral("0"));
}

std::unique_ptr<TColumnDisplay> TNxProgressColumn::GetColumnDisplayClass() const
{
    return std::make_unique<TProgressColumnDisplay>(*this);
}

// ----------------------------------------------------------------- TNxColumns

TNxCustomColumn& TNxColumns::Add(std::unique_ptr<TNxCustomColumn> column)
{
    if (Count() >= TCells::MaxColumns)
        throw EGridError(QStringLiteral("Too many columns (%1)").arg(TCells::MaxColumns));
    TNxCustomColumn& ref = *column;
    ref.owner_ = this;
    ref.index_ = Count();
    ref.position_ = Count();
    ref.display_ = ref.GetColumnDisplayClass();
    columns_.push_back(std::move(column));
    if (observer_)
        observer_->ColumnAdded(ref);
    return ref;
}

TNxCustomColumn* TNxColumns::ByPosition(int position) const
{
    for (const auto& c : columns_)
        if (c->position_ == position)
            return c.get();
    return nullptr;
}

std::vector<TNxCustomColumn*> TNxColumns::VisibleInPositionOrder() const
{
    std::vector<TNxCustomColumn*> result;
    result.reserve(columns_.size());
    for (const auto& c : columns_)
        if (c->visible_)
            result.push_back(c.get());
    std::sort(result.begin(), result.end(),
              [](const TNxCustomColumn* a, const TNxCustomColumn* b) { return a->position_ < b->position_; });
    return result;
}

std::vector<const TNxCustomColumn*> TNxColumns::ByIndex() const
{
    std::vector<const TNxCustomColumn*> result;
    result.reserve(columns_.size());
    for (const auto& c : columns_)
        result.push_back(c.get());
    return result;
}

void TNxColumns::Move(TNxCustomColumn& column, int position)
{
    position = std::clamp(position, 0, Count() - 1);
    const int old = column.position_;
    if (position == old)
        return;
    for (auto& c : columns_) {
        if (c.get() == &column)
            continue;
        if (old < position && c->position_ > old && c->position_ <= position)
            --c->position_;
        else if (position < old && c->position_ >= position && c->position_ < old)
            ++c->position_;
    }
    column.position_ = position;
    Notify(column, ccPosition);
}

void TNxColumns::Notify(TNxCustomColumn& column, TColumnChangeKind kind)
{
    if (observer_)
        observer_->ColumnChanged(column, kind);
}

} // namespace vantrel::grid
