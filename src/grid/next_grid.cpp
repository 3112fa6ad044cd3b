#include "grid/next_grid.h"
#include "grid/cell_hint.h"
#include "grid/column_display.h"
#include "grid/grid_errors.h"
#include "grid/header_mouse.h"
#include "grid/style_display.h"
#include <QScrollBar>
#include <algorithm>
#include <numeric>

namespace vantrel::grid {

namespace {
constexpr int HorizontalStep = 16;
}

TNextGrid::TNextGrid(QWidget* parent)
    : QAbstractScrollArea(parent),
      columns_(this),
      styleDisplay_(TStyleDisplay::ForStyle(hsAuto)),
      headerMouse_(std::make_unique<TGridHeaderMouse>(*this, static_cast<TGridHeaderEvents&>(*this))),
      cellHint_(std::make_unique<TGridCellHint>(*this))
{
    // A plain one-pixel box reserves the frame's room around scroll bars and
    // viewport; PaintFrame draws it in the border colour over the style's.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    // Everything in the viewport is painted by us; leaving the old pixels
    // alone is what lets a paint inside an update bracket change nothing.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    // Moves without a button: the split cursor over header edges and the
    // tool tips of cut cells.
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(HorizontalStep);
    verticalScrollBar()->setSingleStep(1);
    cells_.SetOnChange([this](int col, int row) { DoCellChange(col, row); });
}

TNextGrid::~TNextGrid() = default;

// ------------------------------------------------------------------ operations

int TNextGrid::GetRowCount() const
{
    return cells_.RowCount();
}

int TNextGrid::GetSelectedRow() const
{
    return selectedRow_;
}

int TNextGrid::AddRow(int Count)
{
    if (Count < 1)
        return lastAdded_;
    const int oldCount = cells_.RowCount();
    cells_.AddRows(Count, rowSize_, columns_);
    if (options_.testFlag(goUseDefaultValues)) {
        for (const TNxCustomColumn* column : columns_.ByIndex()) {
            if (column->DefaultValue().isEmpty())
                continue;
            for (int row = oldCount; row < cells_.RowCount(); ++row) {
                try {
                    GetCell(column->Index(), row)->SetAsString(column->DefaultValue());
                } catch (const EGridError&) {
                    // A default that the cell kind cannot hold leaves the cell as made.
                }
            }
        }
    }
    if (!IsUpdating()) {
        const int firstNew = std::max(oldCount, FirstRowInView());
        const int top = RowTop(firstNew);
        if (top < viewport()->height())
            viewport()->update(QRect(0, top, viewport()->width(), viewport()->height() - top));
    }
    lastAdded_ = cells_.RowCount() - 1;
    if (!IsUpdating())
        UpdateVerticalScrollBar();
    emit OnDataChange();
    return lastAdded_;
}

TCell* TNextGrid::GetCell(int ACol, int ARow)
{
    return cells_.GetCell(ACol, ARow);
}

void TNextGrid::DeleteRow(int ARow)
{
    DeleteRows({ARow});
}

void TNextGrid::ClearRows()
{
    std::vector<int> all(static_cast<size_t>(cells_.RowCount()));
    std::iota(all.begin(), all.end(), 0);
    DeleteRows(std::move(all));
}

void TNextGrid::DeleteRows(std::vector<int> Rows)
{
    const int oldSelected = selectedRow_;
    const int oldFirstInView = FirstRowInView();
    const std::vector<int> removed = cells_.RemoveRows(std::move(Rows));
    if (removed.empty())
        return;
    cellHint_->Hide();   // the rows under the pointer have moved

    auto removedBefore = [&removed](int row) {
        return static_cast<int>(std::lower_bound(removed.begin(), removed.end(), row) - removed.begin());
    };
    const bool selectedWent =
        oldSelected >= 0 && std::binary_search(removed.begin(), removed.end(), oldSelected);
    if (oldSelected >= 0) {
        // Either the selected row itself, moved up, or the row that took the
        // removed one's place.
        selectedRow_ = std::min(oldSelected - removedBefore(oldSelected), cells_.RowCount() - 1);
        if (selectedWent && selectedRow_ >= 0)
            cells_.Row(selectedRow_).Selected = true;
    }

    if (!IsUpdating()) {
        // What the user was looking at stays where it was.
        UpdateVerticalScrollBar();
        SetFirstRowInView(oldFirstInView - removedBefore(oldFirstInView));
        const int top = RowTop(std::max(removed.front(), FirstRowInView()));
        if (top < viewport()->height())
            viewport()->update(QRect(0, top, viewport()->width(), viewport()->height() - top));
        if (selectedWent && selectedRow_ >= 0)
            ScrollRowIntoView(selectedRow_);
    }

    for (size_t end = removed.size(); end > 0;) {
        size_t first = end - 1;
        while (first > 0 && removed[first - 1] == removed[first] - 1)
            --first;
        emit OnRowsDeleted(removed[first], static_cast<int>(end - first));
        end = first;
    }
    if (selectedRow_ >= 0 && (selectedWent || selectedRow_ != oldSelected))
        emit OnSelectCell(selectedCol_, selectedRow_);
    emit OnDataChange();
}

void TNextGrid::DoCellChange(int ACol, int ARow)
{
    if (IsUpdating())
        return;
    RefreshCell(ACol, ARow);
    emit OnChange(ACol, ARow);
}

void TNextGrid::RefreshCell(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= columns_.Count() || ARow < 0 || ARow >= cells_.RowCount())
        return;
    const QRect cell = CellRect(ACol, ARow);
    if (cell.isEmpty())
        return;
    // The cell's own right grid line lies inside its width; add the bottom one.
    viewport()->update(QRect(cell.left(), cell.top(), cell.width(), RowPitch()));
}

void TNextGrid::RefreshRow(int ARow)
{
    if (ARow < FirstRowInView() || ARow >= cells_.RowCount())
        return;
    const int top = RowTop(ARow);
    if (top < viewport()->height())
        viewport()->update(QRect(0, top, viewport()->width(), RowPitch()));
}

void TNextGrid::RefreshHeader(const TNxCustomColumn& column)
{
    const QRect rect = HeaderRect(column);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void TNextGrid::SelectCell(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= columns_.Count() || !columns_.Item(ACol).Enabled())
        return;
    if (ARow < 0 || ARow >= cells_.RowCount())
        return;
    const int oldRow = selectedRow_;
    const int oldCol = selectedCol_;
    selectedCol_ = ACol;
    selectedRow_ = ARow;
    if (oldRow != ARow) {
        if (oldRow >= 0 && oldRow < cells_.RowCount())
            cells_.Row(oldRow).Selected = false;
        cells_.Row(ARow).Selected = true;
    }
    if (!IsUpdating() && (oldRow != ARow || oldCol != ACol)) {
        RefreshRow(oldRow);
        RefreshRow(ARow);
    }
    emit OnSelectCell(ACol, ARow);
}

void TNextGrid::SetSelectedRow(int ARow)
{
    if (ARow == -1) {
        if (selectedRow_ < 0)
            return;
        const int oldRow = selectedRow_;
        cells_.Row(oldRow).Selected = false;
        selectedRow_ = -1;
        if (!IsUpdating())
            RefreshRow(oldRow);
        return;
    }
    SelectCell(selectedCol_, ARow);
}

void TNextGrid::SelectFirstRow()
{
    if (cells_.RowCount() > 0)
        SelectCell(selectedCol_, 0);
}

void TNextGrid::SelectLastRow()
{
    if (cells_.RowCount() > 0)
        SelectCell(selectedCol_, cells_.RowCount() - 1);
}

void TNextGrid::BeginUpdate()
{
    ++updateCount_;
}

void TNextGrid::EndUpdate(bool Repaint)
{
    if (updateCount_ > 0)
        --updateCount_;
    if (updateCount_ > 0 || !Repaint)
        return;
    viewport()->update();
    update();
    UpdateVerticalScrollBar();
    UpdateHorizontalScrollBar();
}

// ------------------------------------------------------------------ properties

void TNextGrid::SetOptions(TGridOptions options)
{
    options_ = options;
    UpdateVerticalScrollBar();
    UpdateHorizontalScrollBar();
    viewport()->update();
}

void TNextGrid::SetAppearanceOptions(TAppearanceOptions options)
{
    appearance_ = options;
    viewport()->update();
}

void TNextGrid::SetHeaderStyle(THeaderStyle style)
{
    headerStyle_ = style;
    styleDisplay_ = TStyleDisplay::ForStyle(style);
    viewport()->update();
}

void TNextGrid::SetHeaderSize(int pixels)
{
    headerSize_ = std::max(0, pixels);
    UpdateVerticalScrollBar();
    viewport()->update();
}

void TNextGrid::SetRowSize(int pixels)
{
    rowSize_ = std::max(1, pixels);
    UpdateVerticalScrollBar();
    viewport()->update();
}

void TNextGrid::SetColor(const QColor& c)
{
    color_ = c;
    viewport()->update();
}

void TNextGrid::SetGridLinesColor(const QColor& c)
{
    gridLinesColor_ = c;
    viewport()->update();
}

void TNextGrid::SetSelectionColor(const QColor& c)
{
    selectionColor_ = c;
    viewport()->update();
}

void TNextGrid::SetHighlightedTextColor(const QColor& c)
{
    highlightedTextColor_ = c;
    viewport()->update();
}

void TNextGrid::SetHeaderInteractionEnabled(bool enabled)
{
    headerInteraction_ = enabled;
    if (!enabled)
        headerMouse_->Cancel();
}

void TNextGrid::SetPressedHeader(TNxCustomColumn* column)
{
    if (column == pressedHeader_)
        return;
    if (pressedHeader_)
        RefreshHeader(*pressedHeader_);
    pressedHeader_ = column;
    if (pressedHeader_)
        RefreshHeader(*pressedHeader_);
}

// ------------------------------------------------------------------- geometry

int TNextGrid::HeaderHeight() const
{
    return options_.testFlag(goHeader) ? headerSize_ : 0;
}

int TNextGrid::GridLineWidth() const
{
    return options_.testFlag(goGrid) ? 1 : 0;
}

int TNextGrid::FirstRowInView() const
{
    return verticalScrollBar()->value();
}

int TNextGrid::WhollyVisibleRowCount() const
{
    const int body = viewport()->height() - HeaderHeight();
    if (body < rowSize_)
        return 0;
    return (body - rowSize_) / RowPitch() + 1;
}

int TNextGrid::ColumnLeft(const TNxCustomColumn& column) const
{
    int left = 0;
    for (const TNxCustomColumn* c : columns_.VisibleInPositionOrder()) {
        if (c == &column)
            return left;
        left += c->Width();
    }
    return left;
}

int TNextGrid::TotalColumnsWidth() const
{
    int total = 0;
    for (const TNxCustomColumn* c : columns_.VisibleInPositionOrder())
        total += c->Width();
    return total;
}

QRect TNextGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= columns_.Count() || ARow < FirstRowInView() || ARow >= cells_.RowCount())
        return {};
    const TNxCustomColumn& column = columns_.Item(ACol);
    if (!column.Visible())
        return {};
    const int top = RowTop(ARow);
    if (top >= viewport()->height())
        return {};
    return QRect(ColumnLeft(column) - horizontalScrollBar()->value(), top, column.Width(), rowSize_);
}

QRect TNextGrid::HeaderRect(const TNxCustomColumn& column) const
{
    if (HeaderHeight() == 0 || !column.Visible())
        return {};
    return QRect(ColumnLeft(column) - horizontalScrollBar()->value(), 0, column.Width(), HeaderHeight());
}

TNxCustomColumn* TNextGrid::ColumnAtX(int x) const
{
    int left = -horizontalScrollBar()->value();
    for (TNxCustomColumn* c : columns_.VisibleInPositionOrder()) {
        if (x >= left && x < left + c->Width())
            return c;
        left += c->Width();
    }
    return nullptr;
}

int TNextGrid::RowAtY(int y) const
{
    if (y < HeaderHeight())
        return -1;
    const int row = FirstRowInView() + (y - HeaderHeight()) / RowPitch();
    return row < cells_.RowCount() ? row : -1;
}

void TNextGrid::SetFirstRowInView(int ARow)
{
    verticalScrollBar()->setValue(ARow);
}

void TNextGrid::ScrollRowIntoView(int ARow)
{
    const int capacity = std::max(1, WhollyVisibleRowCount());
    if (ARow < FirstRowInView())
        SetFirstRowInView(ARow);
    else if (ARow > FirstRowInView() + capacity - 1)
        SetFirstRowInView(ARow - capacity + 1);
}

void TNextGrid::UpdateVerticalScrollBar()
{
    const int capacity = WhollyVisibleRowCount();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(std::max(1, capacity));
    bar->setRange(0, std::max(0, cells_.RowCount() - capacity));
}

void TNextGrid::UpdateHorizontalScrollBar()
{
    QScrollBar* bar = horizontalScrollBar();
    bar->setPageStep(std::max(1, viewport()->width()));
    bar->setRange(0, std::max(0, TotalColumnsWidth() - viewport()->width()));
}

void TNextGrid::scrollContentsBy(int, int)
{
    cellHint_->Hide();   // another cell lies under the mouse now
    // Rows scroll in whole rows and the header moves sideways with the body:
    // simplest and exact to repaint the whole view.
    viewport()->update();
}

void TNextGrid::resizeEvent(QResizeEvent* e)
{
    QAbstractScrollArea::resizeEvent(e);
    UpdateVerticalScrollBar();
    UpdateHorizontalScrollBar();
}

// ---------------------------------------------------------------- columns

int TNextGrid::CellTextWidth(const TNxCustomColumn& column, const TCell& cell) const
{
    TCellPaintContext context;
    context.Font = column.Font().value_or(font());
    context.Cell = &cell;
    column.Display().Fill(context);
    return column.Display().GetContentWidth();
}

void TNextGrid::BestFitColumn(int AIndex)
{
    if (AIndex < 0 || AIndex >= columns_.Count())
        return;
    TNxCustomColumn& column = columns_.Item(AIndex);
    if (!column.GetColumnStyle().testFlag(csFitToLargest))
        return;
    int widest = 0;
    for (int row = 0; row < cells_.RowCount(); ++row)
        if (cells_.Row(row).Visible)
            widest = std::max(widest, CellTextWidth(column, *cells_.PeekCell(AIndex, row)));
    column.SetWidth(2 * column.Padding() + std::max(8, widest + 5));
}

void TNextGrid::ColumnAdded(TNxCustomColumn& column)
{
    cells_.AddColumn(column);
    UpdateHorizontalScrollBar();
    viewport()->update();
}

void TNextGrid::ColumnChanged(TNxCustomColumn& column, TColumnChangeKind kind)
{
    switch (kind) {
    case ccSorted:
        // One sort column at a time: the others lose their mark (and arrow).
        for (int i = 0; i < columns_.Count(); ++i)
            if (&columns_.Item(i) != &column)
                columns_.Item(i).SetSorted(false);
        RefreshHeader(column);
        SortColumn(&column, column.SortKind() == skAscending);
        break;
    case ccSortTypeChange:
        RefreshHeader(column);
        if (column.Sorted())
            SortColumn(&column, column.SortKind() == skAscending);
        break;
    case ccUnsorted:
        RefreshHeader(column);
        if (sortedColumn_ == &column)
            sortedColumn_ = nullptr;
        break;
    default:
        cellHint_->Hide();
        if (!column.Visible() && pressedHeader_ == &column)
            pressedHeader_ = nullptr;
        UpdateHorizontalScrollBar();
        viewport()->update();
        if (kind == ccVisible)
            emit OnColumnVisibleChange(column.Index());
        break;
    }
}

} // namespace vantrel::grid
