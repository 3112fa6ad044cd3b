#include "grid/style_display.h"
#include "grid/column_display.h"
#include "grid/columns.h"
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace vantrel::grid {

const QColor TOffice2010StyleDisplay::GradientStart(0xFF, 0xFF, 0xFF);
const QColor TOffice2010StyleDisplay::GradientEnd(0xAF, 0xD2, 0xFF);
const QColor TOffice2010StyleDisplay::Border(0x65, 0x93, 0xCF);
const QColor TOffice2010StyleDisplay::HeaderDivider(0x9A, 0xC6, 0xFF);
const QColor TOffice2010StyleDisplay::ArrowOutline(0x00, 0x00, 0x00);
const QColor TOffice2010StyleDisplay::ArrowFill(0xA5, 0xAC, 0xB5);

std::unique_ptr<TStyleDisplay> TStyleDisplay::ForStyle(THeaderStyle style)
{
    if (style == hsOffice2010)
        return std::make_unique<TOffice2010StyleDisplay>();
    return std::make_unique<TStyleDisplay>();
}

void TStyleDisplay::DrawHeader(const TNxCustomColumn& column, const THeaderPaintContext& context) const
{
    DrawHeaderBackground(column, context);
    DrawHeaderContent(column, context);
}

int TStyleDisplay::CaptionWidth(const TNxCustomColumn& column, const THeaderPaintContext& context)
{
    return QFontMetrics(context.Font).horizontalAdvance(column.Header().Caption) + 2;
}

int TStyleDisplay::CaptionLeft(const TNxCustomColumn& column, const THeaderPaintContext& context) const
{
    const int left = context.Rect.left();
    const int right = context.Rect.left() + context.Rect.width();
    const int textWidth = CaptionWidth(column, context);
    const Qt::Alignment align = column.Header().Alignment & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        return textWidth < right - left ? left + (right - left - textWidth) / 2 : left + 2;
    if (align & Qt::AlignRight)
        return std::max(left, right - textWidth - 2 - (column.Sorted() ? 31 : 0));
    return left + 2;
}

QRect TStyleDisplay::ArrowRect(const TNxCustomColumn& column, const THeaderPaintContext& context) const
{
    const int x = CaptionLeft(column, context) + CaptionWidth(column, context) + 19;
    const int y = context.Rect.top() + context.Rect.height() / 2 - 4;
    return QRect(x, y, 9, 5);
}

void TStyleDisplay::DrawHeaderBackground(const TNxCustomColumn&, const THeaderPaintContext& context) const
{
    QPainter& canvas = *context.Canvas;
    const QRect& r = context.Rect;
    canvas.fillRect(r, context.Colors->ButtonFace);
    canvas.fillRect(QRect(r.right(), r.top(), 1, r.height()), context.Colors->ButtonShadow);
    canvas.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), context.Colors->ButtonShadow);
}

void TStyleDisplay::DrawHeaderContent(const TNxCustomColumn& column, const THeaderPaintContext& context) const
{
    QPainter& canvas = *context.Canvas;
    const QRect& r = context.Rect;
    const int right = r.left() + r.width();
    const int textLeft = CaptionLeft(column, context) + 2;
    if (right > textLeft && !column.Header().Caption.isEmpty()) {
        const QFontMetrics metrics(context.Font);
        canvas.setFont(context.Font);
        canvas.setPen(context.TextColor);
        const QRect textRect(textLeft, r.top(), right - textLeft, r.height());
        const QString shown = metrics.elidedText(column.Header().Caption, Qt::ElideRight, textRect.width());
        canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
    if (!column.Sorted())
        return;
    const QRect arrow = ArrowRect(column, context);
    if (column.Header().HideArrow && arrow.left() + 8 >= right)
        return;
    DrawArrow(canvas, arrow, column.SortKind());
}

void TStyleDisplay::DrawArrow(QPainter& canvas, const QRect& arrow, TSortKind kind) const
{
    // A 9 x 5 triangle with 45 degree sides, drawn row by row so that every
    // pixel is exact: the outline in black, the inside in grey.
    for (int step = 0; step < 5; ++step) {
        const int y = kind == skAscending ? arrow.top() + step : arrow.top() + 4 - step;
        const int from = arrow.left() + 4 - step;
        const int to = arrow.left() + 4 + step;
        if (step == 4 || step == 0) {
            canvas.fillRect(QRect(from, y, to - from + 1, 1), TOffice2010StyleDisplay::ArrowOutline);
            continue;
        }
        canvas.fillRect(QRect(from, y, 1, 1), TOffice2010StyleDisplay::ArrowOutline);
        canvas.fillRect(QRect(to, y, 1, 1), TOffice2010StyleDisplay::ArrowOutline);
        canvas.fillRect(QRect(from + 1, y, to - from - 1, 1), TOffice2010StyleDisplay::ArrowFill);
    }
}

void TOffice2010StyleDisplay::DrawHeaderBackground(const TNxCustomColumn&, const THeaderPaintContext& context) const
{
    DrawFrameBox(context);
}

void TOffice2010StyleDisplay::DrawArrow(QPainter& canvas, const QRect& arrow, TSortKind kind) const
{
    TStyleDisplay::DrawArrow(canvas, arrow, kind);
}

void TOffice2010StyleDisplay::DrawFrameBox(const THeaderPaintContext& context) const
{
    QPainter& canvas = *context.Canvas;
    const QRect& r = context.Rect;
    const int height = r.height();
    const QColor& top = context.Pressed ? GradientEnd : GradientStart;
    const QColor& bottom = context.Pressed ? GradientStart : GradientEnd;
    for (int y = 0; y < height; ++y) {
        const double t = static_cast<double>(y) / height;
        canvas.fillRect(QRect(r.left(), r.top() + y, r.width(), 1), TProgressColumnDisplay::Blend(top, bottom, t));
    }
    const int edge = r.left() + r.width() - 1;
    if (context.LastVisible)
        canvas.fillRect(QRect(edge, r.top(), 1, height - 1), Border);            // y 0 .. h-2
    else if (height > 5)
        canvas.fillRect(QRect(edge, r.top() + 2, 1, height - 5), HeaderDivider);  // y 2 .. h-4
    canvas.fillRect(QRect(r.left(), r.top() + height - 1, r.width(), 1), Border);
}

} // namespace vantrel::grid
