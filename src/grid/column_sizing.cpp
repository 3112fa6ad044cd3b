#include "grid/column_sizing.h"
#include "grid/next_grid.h"
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace vantrel::grid {

TNxCustomColumn* TColumnSizing::EdgeAt(const TNextGrid& grid, const QPoint& pos)
{
    if (pos.y() < 0 || pos.y() >= grid.HeaderHeight())
        return nullptr;
    const int scroll = grid.horizontalScrollBar()->value();
    int left = 0;
    for (TNxCustomColumn* column : grid.Columns().VisibleInPositionOrder()) {
        left += column->Width();
        if (column->Options().testFlag(coFixedSize))
            continue;
        const int edge = left - scroll;
        if (pos.x() >= edge - EdgeToleranceLeft && pos.x() <= edge + EdgeToleranceRight)
            return column;
    }
    return nullptr;
}

void TColumnSizing::Begin(TNxCustomColumn& column)
{
    column_ = &column;
    offset_ = 0;
    RefreshLine(LeftLineX());
    RefreshLine(RightLineX());
}

void TColumnSizing::Move(int x)
{
    if (!column_)
        return;
    const int scroll = grid_.horizontalScrollBar()->value();
    const int offset = std::max(x + scroll - grid_.ColumnLeft(*column_) - column_->Width(),
                                column_->MinWidth() - column_->Width());
    if (offset == offset_)
        return;
    RefreshLine(RightLineX());
    offset_ = offset;
    RefreshLine(RightLineX());
}

void TColumnSizing::Finish()
{
    if (!column_)
        return;
    TNxCustomColumn& column = *column_;
    const int width = column.Width() + offset_;
    Cancel();
    column.SetWidth(width);
    events_.ColumnResized(column.Index());
}

void TColumnSizing::Cancel()
{
    if (!column_)
        return;
    RefreshLine(LeftLineX());
    RefreshLine(RightLineX());
    column_ = nullptr;
    offset_ = 0;
}

void TColumnSizing::Paint(QPainter& p) const
{
    if (!column_)
        return;
    const int height = grid_.viewport()->height();
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (int x : {LeftLineX(), RightLineX()})
        p.fillRect(QRect(x, 0, 1, height), Qt::white);
    p.restore();
}

int TColumnSizing::LeftLineX() const
{
    // One pixel left of the column, onto the grid line of its neighbour;
    // the first column has no neighbour to mark.
    const int left = grid_.ColumnLeft(*column_) - grid_.horizontalScrollBar()->value();
    return column_->Index() == 0 ? left : left - 1;
}

int TColumnSizing::RightLineX() const
{
    return grid_.ColumnLeft(*column_) + column_->Width() + offset_ - 1 - grid_.horizontalScrollBar()->value();
}

void TColumnSizing::RefreshLine(int x) const
{
    grid_.viewport()->update(QRect(x, 0, 1, grid_.viewport()->height()));
}

} // namespace vantrel::grid
