#pragma once
// What the header's mouse handling tells the grid it did. The grid raises
// its own events for these, so every signal of the control is emitted by
// the control itself and the mouse helpers never reach into its signals.
namespace vantrel::grid {

class TGridHeaderEvents {
public:
    // The left button went up over a pressed header, wherever it went up.
    virtual void HeaderClicked(int ACol) = 0;
    virtual void HeaderDoubleClicked(int ACol) = 0;
    // A header drag gave the column a new screen Position.
    virtual void ColumnMoved(int ACol, int OldPos, int NewPos) = 0;
    // An edge drag ended and the column has its new width.
    virtual void ColumnResized(int ACol) = 0;

protected:
    ~TGridHeaderEvents() = default;
};

} // namespace vantrel::grid
