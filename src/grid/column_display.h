#pragma once
// Drawing objects of the columns. Before a cell is painted the control
// fills the column's display with the canvas, the cell's display rectangle,
// its state and colours; Paint then draws the content. Displays keep nothing
// from one paint to the next.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace vantrel::grid {

class TCell;
class TNxCustomColumn;
class TNxProgressColumn;

// Named system colours, resolved from the control's palette per paint.
struct TSystemColors {
    QColor Window;          // QPalette::Base
    QColor WindowText;      // QPalette::Text
    QColor ButtonFace;      // QPalette::Button
    QColor ButtonShadow;    // QPalette::Dark
    QColor Highlight;       // QPalette::Highlight
    QColor HighlightText;   // QPalette::HighlightedText
    QColor GrayText;        // disabled QPalette::Text
};

// A colour property left invalid stands for `fallback`, mostly a system colour.
inline QColor OrDefault(const QColor& color, const QColor& fallback)
{
    return color.isValid() ? color : fallback;
}

// Cell text as drawn: line breaks become blanks, so a cell is one line.
QString OneLineText(QString text);

struct TCellPaintContext {
    QPainter* Canvas = nullptr;
    QRect Rect;                 // display rectangle: content area less Padding
    bool Highlighted = false;
    bool Selected = false;
    QColor TextColor;           // highlight text when highlighted, else the cell's text colour
    QFont Font;
    const TCell* Cell = nullptr;
    const TSystemColors* Colors = nullptr;
};

class TColumnDisplay {
public:
    explicit TColumnDisplay(const TNxCustomColumn& column) : column_(column) {}
    virtual ~TColumnDisplay() = default;

    void Fill(const TCellPaintContext& context) { context_ = context; }

    // Display rectangle moved in by 2 pixels left and right.
    virtual QRect GetTextRect() const;
    // One line, transparent, aligned by the column, end ellipsis, '&' literal.
    virtual void DrawTextRect(const QString& text, const QRect& rect) const;
    virtual int GetContentHeight() const;
    // Width of the cell's draw text as one line in the current font, in
    // whole pixels rounded up: the room the text needs to be drawn uncut.
    virtual int GetContentWidth() const;
    virtual void Paint() = 0;

protected:
    const TNxCustomColumn& Column() const { return column_; }
    const TCellPaintContext& Context() const { return context_; }
    void DrawTextAligned(const QString& text, const QRect& rect, Qt::Alignment horizontal,
                         const QColor& color) const;

private:
    const TNxCustomColumn& column_;
    TCellPaintContext context_;
};

class TTextColumnDisplay : public TColumnDisplay {
public:
    using TColumnDisplay::TColumnDisplay;
    void Paint() override;
};

class TProgressColumnDisplay : public TColumnDisplay {
public:
    explicit TProgressColumnDisplay(const TNxProgressColumn& column);
    void Paint() override;

    // Bar width for an inner area `innerWidth` wide at `ratio` percent:
    // rounded halves to even, 0 for ratios of 0 and below, never wider than
    // the inner area.
    static int BarWidth(int innerWidth, double ratio);
    // Percent of the column's Max that `value` stands for; 0 without a Max.
    static double Ratio(const TNxProgressColumn& column, double value);
    // Percentage text: `ratio` with `precision` digits, halves away from
    // zero, and "%".
    static QString PercentText(double ratio, int precision);
    // a*(1-t) + b*t per channel, halves to even.
    static QColor Blend(const QColor& a, const QColor& b, double t);

private:
    QColor BarColor(double value) const;
    void DrawBox(const QRect& box, const QColor& fill) const;
    void DrawBar(const QRect& bar, int fullWidth, const QColor& from, const QColor& to) const;

    const TNxProgressColumn& progress_;
};

} // namespace vantrel::grid
