#include "grid/header_mouse.h"
#include "grid/next_grid.h"
#include <QMouseEvent>

namespace vantrel::grid {

bool TGridHeaderMouse::InHeader(const QPoint& pos) const
{
    return pos.y() >= 0 && pos.y() < grid_.HeaderHeight();
}

bool TGridHeaderMouse::Press(const QMouseEvent& e)
{
    const QPoint pos = e.position().toPoint();
    if (e.button() != Qt::LeftButton || !InHeader(pos))
        return false;
    TNxCustomColumn* column = grid_.ColumnAtX(pos.x());
    if (!column || !column->Options().testFlag(coCanClick))
        return false;
    pressPoint_ = pos;
    grid_.SetPressedHeader(column);
    return true;
}

bool TGridHeaderMouse::Move(const QMouseEvent&)
{
    return grid_.PressedHeader() != nullptr;
}

bool TGridHeaderMouse::Release(const QMouseEvent& e)
{
    TNxCustomColumn* column = grid_.PressedHeader();
    if (!column || e.button() != Qt::LeftButton)
        return false;
    grid_.SetPressedHeader(nullptr);
    emit grid_.OnHeaderClick(column->Index());
    return true;
}

bool TGridHeaderMouse::DoubleClick(const QMouseEvent& e)
{
    const QPoint pos = e.position().toPoint();
    if (!InHeader(pos))
        return false;
    const TNxCustomColumn* column = grid_.ColumnAtX(pos.x());
    if (!column)
        return false;
    emit grid_.OnHeaderDblClick(column->Index());
    return true;
}

void TGridHeaderMouse::Cancel()
{
    grid_.SetPressedHeader(nullptr);
}

} // namespace vantrel::grid
