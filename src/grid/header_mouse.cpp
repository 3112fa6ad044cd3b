#include "grid/header_mouse.h"
#include "grid/next_grid.h"
#include <QMouseEvent>
#include <cstdlib>

namespace vantrel::grid {

bool TGridHeaderMouse::InHeader(const QPoint& pos) const
{
    return pos.y() >= 0 && pos.y() < grid_.HeaderHeight();
}

bool TGridHeaderMouse::Busy() const
{
    return grid_.PressedHeader() != nullptr || sizing_.Active() || drag_.Active();
}

bool TGridHeaderMouse::Press(const QMouseEvent& e)
{
    const QPoint pos = e.position().toPoint();
    if (e.button() != Qt::LeftButton || !InHeader(pos) || Busy())
        return false;
    if (TNxCustomColumn* edge = TColumnSizing::EdgeAt(grid_, pos)) {
        sizing_.Begin(*edge);
        return true;
    }
    TNxCustomColumn* column = grid_.ColumnAtX(pos.x());
    if (!column || !column->Options().testFlag(coCanClick))
        return false;
    pressPoint_ = pos;
    grid_.SetPressedHeader(column);
    return true;
}

bool TGridHeaderMouse::Move(const QMouseEvent& e)
{
    const QPoint pos = e.position().toPoint();
    if (sizing_.Active()) {
        sizing_.Move(pos.x());
        return true;
    }
    if (drag_.Active()) {
        drag_.Move(pos);
        return true;
    }
    if (TNxCustomColumn* pressed = grid_.PressedHeader()) {
        if (BeyondDragThreshold(pos) && CanDrag(*pressed))
            drag_.Begin(*pressed, pressPoint_, pos);
        return true;
    }
    ShowHoverCursor(pos);
    return false;
}

bool TGridHeaderMouse::Release(const QMouseEvent& e)
{
    if (e.button() != Qt::LeftButton)
        return false;
    const QPoint pos = e.position().toPoint();
    if (sizing_.Active()) {
        sizing_.Finish();
        ShowHoverCursor(pos);
        return true;
    }
    if (drag_.Active()) {
        drag_.Drop(pos);   // a drag never sorts
        return true;
    }
    TNxCustomColumn* column = grid_.PressedHeader();
    if (!column)
        return false;
    grid_.SetPressedHeader(nullptr);
    events_.HeaderClicked(column->Index());
    if (InHeader(pos) && grid_.ColumnAtX(pos.x()) == column)
        Click(*column);
    return true;
}

bool TGridHeaderMouse::DoubleClick(const QMouseEvent& e)
{
    const QPoint pos = e.position().toPoint();
    if (!InHeader(pos))
        return false;
    if (TNxCustomColumn* edge = TColumnSizing::EdgeAt(grid_, pos)) {
        grid_.BestFitColumn(edge->Index());
        return true;
    }
    const TNxCustomColumn* column = grid_.ColumnAtX(pos.x());
    if (!column)
        return false;
    events_.HeaderDoubleClicked(column->Index());
    return true;
}

void TGridHeaderMouse::Cancel()
{
    sizing_.Cancel();
    drag_.Cancel();
    grid_.SetPressedHeader(nullptr);
    grid_.viewport()->unsetCursor();
}

void TGridHeaderMouse::PaintOverlay(QPainter& p) const
{
    sizing_.Paint(p);
    drag_.Paint(p);
}

bool TGridHeaderMouse::BeyondDragThreshold(const QPoint& pos) const
{
    return std::abs(pos.x() - pressPoint_.x()) > DragThreshold || std::abs(pos.y() - pressPoint_.y()) > DragThreshold;
}

bool TGridHeaderMouse::CanDrag(const TNxCustomColumn& column) const
{
    return !column.Options().testFlag(coDisableMoving) && !grid_.Options().testFlag(goDisableColumnMoving);
}

void TGridHeaderMouse::Click(TNxCustomColumn& column)
{
    if (!column.Options().testFlag(coCanSort) || column.GetColumnStyle().testFlag(csDisableSorting))
        return;
    if (column.Sorted()) {
        column.SetSortKind(column.SortKind() == skDescending ? skAscending : skDescending);
        return;
    }
    // One sort column at a time: the others lose their mark first.
    for (int i = 0; i < grid_.Columns().Count(); ++i)
        if (&grid_.Columns()[i] != &column)
            grid_.Columns()[i].SetSorted(false);
    column.SetSorted(true);
}

void TGridHeaderMouse::ShowHoverCursor(const QPoint& pos)
{
    QWidget* viewport = grid_.viewport();
    if (TColumnSizing::EdgeAt(grid_, pos))
        viewport->setCursor(Qt::SplitHCursor);
    else if (viewport->testAttribute(Qt::WA_SetCursor))
        viewport->unsetCursor();
}

} // namespace vantrel::grid
