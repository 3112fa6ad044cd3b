#pragma once
// Mouse handling over the header row: pressing a header (its reversed look),
// release with OnHeaderClick, and header double-clicks. Sizing, dragging and
// sorting by click build on this class.
#include <QPoint>

class QMouseEvent;

namespace vantrel::grid {

class TNextGrid;
class TNxCustomColumn;

class TGridHeaderMouse {
public:
    explicit TGridHeaderMouse(TNextGrid& grid) : grid_(grid) {}
    virtual ~TGridHeaderMouse() = default;

    // Each returns true when it consumed the event.
    virtual bool Press(const QMouseEvent& e);
    virtual bool Move(const QMouseEvent& e);
    virtual bool Release(const QMouseEvent& e);
    virtual bool DoubleClick(const QMouseEvent& e);
    // Drops any pressed state (interaction switched off, focus lost).
    virtual void Cancel();

protected:
    TNextGrid& Grid() const { return grid_; }
    bool InHeader(const QPoint& pos) const;

private:
    TNextGrid& grid_;
    QPoint pressPoint_;
};

} // namespace vantrel::grid
