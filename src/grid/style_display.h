#pragma once
// Header drawing, one display per header style. DrawHeader paints one header
// cell: background first, then caption and sort arrow.
#include "grid/grid_types.h"
#include <QColor>
#include <QFont>
#include <QRect>
#include <memory>

class QPainter;

namespace vantrel::grid {

class TNxCustomColumn;
struct TSystemColors;

struct THeaderPaintContext {
    QPainter* Canvas = nullptr;
    QRect Rect;                 // header cell: (L, 0) to (R, HeaderSize)
    bool Pressed = false;       // the left button is held on this header
    bool LastVisible = false;   // rightmost visible column
    QFont Font;
    QColor TextColor;
    const TSystemColors* Colors = nullptr;
};

class TStyleDisplay {
public:
    virtual ~TStyleDisplay() = default;

    static std::unique_ptr<TStyleDisplay> ForStyle(THeaderStyle style);

    void DrawHeader(const TNxCustomColumn& column, const THeaderPaintContext& context) const;

    // Left edge x0 of the caption text (text itself starts at x0 + 2).
    virtual int CaptionLeft(const TNxCustomColumn& column, const THeaderPaintContext& context) const;
    // Where the sort arrow goes, and whether it fits.
    virtual QRect ArrowRect(const TNxCustomColumn& column, const THeaderPaintContext& context) const;

protected:
    // The caption's width in the header font, plus the 2 px that its
    // placement and the arrow's both count.
    static int CaptionWidth(const TNxCustomColumn& column, const THeaderPaintContext& context);

    virtual void DrawHeaderBackground(const TNxCustomColumn& column, const THeaderPaintContext& context) const;
    virtual void DrawHeaderContent(const TNxCustomColumn& column, const THeaderPaintContext& context) const;
    virtual void DrawArrow(QPainter& canvas, const QRect& arrow, TSortKind kind) const;
};

class TOffice2010StyleDisplay : public TStyleDisplay {
public:
    static const QColor GradientStart;   // #FFFFFF
    static const QColor GradientEnd;     // #AFD2FF
    static const QColor Border;          // #6593CF: bottom line, last divider, control frame
    static const QColor HeaderDivider;   // #9AC6FF
    static const QColor ArrowOutline;    // #000000
    static const QColor ArrowFill;       // #A5ACB5

protected:
    void DrawHeaderBackground(const TNxCustomColumn& column, const THeaderPaintContext& context) const override;
    void DrawArrow(QPainter& canvas, const QRect& arrow, TSortKind kind) const override;
    void DrawFrameBox(const THeaderPaintContext& context) const;
};

} // namespace vantrel::grid
