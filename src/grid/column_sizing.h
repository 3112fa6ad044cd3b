#pragma once
// Resizing a column by dragging its header's right edge. While the edge is
// dragged, two inverted vertical lines mark the column's left edge and its
// would-be right edge; the width changes only on release, with one repaint.
#include "grid/header_events.h"
#include <QPoint>

class QPainter;

namespace vantrel::grid {

class TNextGrid;
class TNxCustomColumn;

class TColumnSizing {
public:
    // How far from a column's right edge the mouse still counts as on it.
    static constexpr int EdgeToleranceLeft = 3;
    static constexpr int EdgeToleranceRight = 2;

    TColumnSizing(TNextGrid& grid, TGridHeaderEvents& events) : grid_(grid), events_(events) {}

    // The visible, resizable column whose right edge is under `pos` (viewport
    // coordinates, header row only); the first in screen order wins.
    static TNxCustomColumn* EdgeAt(const TNextGrid& grid, const QPoint& pos);

    bool Active() const { return column_ != nullptr; }
    TNxCustomColumn* Column() const { return column_; }
    int Offset() const { return offset_; }

    void Begin(TNxCustomColumn& column);
    // Follows the mouse; the width never goes below the column's MinWidth.
    void Move(int x);
    // Takes the new width, repaints and raises OnColumnResize.
    void Finish();
    // Ends without changing the width.
    void Cancel();

    // Draws the two lines; called last in every viewport paint.
    void Paint(QPainter& p) const;

private:
    int LeftLineX() const;
    int RightLineX() const;
    void RefreshLine(int x) const;

    TNextGrid& grid_;
    TGridHeaderEvents& events_;
    TNxCustomColumn* column_ = nullptr;
    int offset_ = 0;
};

} // namespace vantrel::grid
