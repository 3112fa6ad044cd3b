#pragma once
// The tool tip of a body cell whose text is cut: it shows the whole text
// with its top-left corner on the cell's top-left corner, and only while the
// control's window is the active one. It is a window of its own, apart from
// the control's hint, so that it can sit exactly on the cell.
#include <QString>

class QFontMetrics;
class QLabel;
class QPoint;

namespace vantrel::grid {

class TNextGrid;

class TGridCellHint {
public:
    explicit TGridCellHint(TNextGrid& grid) : grid_(grid) {}
    ~TGridCellHint();
    TGridCellHint(const TGridCellHint&) = delete;
    TGridCellHint& operator=(const TGridCellHint&) = delete;

    // The mouse is at `pos` (viewport coordinates). Only moving onto another
    // cell decides anew; leaving the body hides the tip.
    void MouseMoved(const QPoint& pos);
    // Hides the tip and forgets the cell, so that it can show again.
    void Hide();
    bool Showing() const;

    // `text` broken into lines no wider than `width`, after a path separator
    // or blank where one lies in the line, else anywhere. Every line keeps
    // at least one character.
    static QString WrapToWidth(const QString& text, const QFontMetrics& metrics, int width);

private:
    void ShowAt(int ACol, int ARow, const QString& text);

    TNextGrid& grid_;
    int col_ = -1;
    int row_ = -1;
    QLabel* tip_ = nullptr;   // a child window of the grid, which owns it
};

} // namespace vantrel::grid
