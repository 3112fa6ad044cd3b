#pragma once
// Moving a column by dragging its header. An image of the header follows
// the mouse; over the header band two small arrows mark the edge where the
// column would land, elsewhere the cursor says it cannot be dropped there.
// Dropped over another header the column changes its screen Position only;
// dropped outside the band it is hidden when the grid allows that.
#include "grid/header_events.h"
#include <QPoint>
#include <optional>

class QPainter;
class QWidget;

namespace vantrel::grid {

class TNextGrid;
class TNxCustomColumn;

class TColumnDrag {
public:
    TColumnDrag(TNextGrid& grid, TGridHeaderEvents& events) : grid_(grid), events_(events) {}
    ~TColumnDrag();
    TColumnDrag(const TColumnDrag&) = delete;
    TColumnDrag& operator=(const TColumnDrag&) = delete;

    // Where a drop would put the column: its new Position and the x of the
    // landing edge in viewport coordinates.
    struct TLanding {
        int Position = 0;
        int EdgeX = 0;
    };

    bool Active() const { return column_ != nullptr; }
    TNxCustomColumn* Column() const { return column_; }

    // `grab` is the point of the header the mouse holds; it keeps that
    // place within the drag image.
    void Begin(TNxCustomColumn& column, const QPoint& grab, const QPoint& pos);
    void Move(const QPoint& pos);
    void Drop(const QPoint& pos);
    void Cancel();

    // The header band: x up to the end of the headers (or the client width),
    // y above the body.
    bool InDropArea(const QPoint& pos) const;
    // None over the column's own header or outside the drop area.
    std::optional<TLanding> LandingAt(const QPoint& pos) const;

    // Draws the drop arrows; called last in every viewport paint.
    void Paint(QPainter& p) const;

private:
    void ShowArrowsAt(std::optional<int> edgeX);
    void RefreshArrows() const;
    void End();

    TNextGrid& grid_;
    TGridHeaderEvents& events_;
    TNxCustomColumn* column_ = nullptr;
    QPoint grab_;
    std::optional<int> arrowX_;
    QWidget* image_ = nullptr;   // a child window of the grid, which owns it
};

} // namespace vantrel::grid
