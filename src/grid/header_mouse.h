#pragma once
// Mouse handling over the header row. A left press on a column's right edge
// starts resizing it; elsewhere it presses the header (its reversed look).
// A pressed header that the mouse carries more than DragThreshold pixels
// away becomes a column drag; otherwise the release is a click, which sorts
// when it happens over the same header. Double-clicking an edge fits the
// column to its texts.
#include "grid/column_drag.h"
#include "grid/column_sizing.h"
#include "grid/header_events.h"
#include <QPoint>

class QMouseEvent;
class QPainter;

namespace vantrel::grid {

class TNextGrid;
class TNxCustomColumn;

class TGridHeaderMouse {
public:
    // A press turns into a drag only beyond this many pixels, either way.
    static constexpr int DragThreshold = 3;

    TGridHeaderMouse(TNextGrid& grid, TGridHeaderEvents& events)
        : grid_(grid), events_(events), sizing_(grid, events), drag_(grid, events)
    {
    }
    virtual ~TGridHeaderMouse() = default;

    // Each returns true when it consumed the event.
    virtual bool Press(const QMouseEvent& e);
    virtual bool Move(const QMouseEvent& e);
    virtual bool Release(const QMouseEvent& e);
    virtual bool DoubleClick(const QMouseEvent& e);
    // Drops any pressed, sizing or dragging state without effect
    // (interaction switched off, focus lost).
    virtual void Cancel();

    // A press, resize or drag is under way.
    bool Busy() const;
    // The sizing lines and drop arrows over the freshly painted view.
    void PaintOverlay(QPainter& p) const;

protected:
    TNextGrid& Grid() const { return grid_; }
    bool InHeader(const QPoint& pos) const;

private:
    bool BeyondDragThreshold(const QPoint& pos) const;
    bool CanDrag(const TNxCustomColumn& column) const;
    // The header click: sort by the column, or flip its direction.
    void Click(TNxCustomColumn& column);
    void ShowHoverCursor(const QPoint& pos);

    TNextGrid& grid_;
    TGridHeaderEvents& events_;
    QPoint pressPoint_;
    TColumnSizing sizing_;
    TColumnDrag drag_;
};

} // namespace vantrel::grid
