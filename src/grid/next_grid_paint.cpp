// Painting of TNextGrid: body rows and cells, the header row, the empty
// space right of the columns, the focus rectangle, the control's frame, and
// over all of it the marks of a header resize or drag.
#include "grid/cell_hint.h"
#include "grid/column_display.h"
#include "grid/header_mouse.h"
#include "grid/next_grid.h"
#include "grid/style_display.h"
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace vantrel::grid {

namespace {

QFont WithStyle(QFont font, TFontStyles style)
{
    if (style.testFlag(fsBold))
        font.setBold(true);
    if (style.testFlag(fsItalic))
        font.setItalic(true);
    if (style.testFlag(fsUnderline))
        font.setUnderline(true);
    if (style.testFlag(fsStrikeOut))
        font.setStrikeOut(true);
    return font;
}

// The platform's dotted focus rectangle: every other pixel of the outline,
// inverted, so that drawing it twice would remove it.
void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QPolygon dots;
    auto dot = [&](int x, int y) {
        if (((x - r.left()) + (y - r.top())) % 2 == 0)
            dots << QPoint(x, y);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        if (r.bottom() != r.top())
            dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        if (r.right() != r.left())
            dot(r.right(), y);
    }
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 0));
    p.drawPoints(dots);
    p.restore();
}

} // namespace

TSystemColors TNextGrid::SystemColors() const
{
    const QPalette& pal = palette();
    TSystemColors colors;
    colors.Window = pal.color(QPalette::Active, QPalette::Base);
    colors.WindowText = pal.color(QPalette::Active, QPalette::Text);
    colors.ButtonFace = pal.color(QPalette::Active, QPalette::Button);
    colors.ButtonShadow = pal.color(QPalette::Active, QPalette::Dark);
    colors.Highlight = pal.color(QPalette::Active, QPalette::Highlight);
    colors.HighlightText = pal.color(QPalette::Active, QPalette::HighlightedText);
    colors.GrayText = pal.color(QPalette::Disabled, QPalette::Text);
    return colors;
}

bool TNextGrid::ShowsSelection() const
{
    return hasFocus() || !appearance_.testFlag(aoHideSelection);
}

bool TNextGrid::event(QEvent* e)
{
    if (e->type() == QEvent::WindowDeactivate)
        cellHint_->Hide();   // cell tips show only in the active window
    const bool handled = QAbstractScrollArea::event(e);
    if (e->type() == QEvent::Paint)
        PaintFrame();
    return handled;
}

void TNextGrid::PaintFrame()
{
    QPainter p(this);
    p.setPen(QPen(TOffice2010StyleDisplay::Border, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TNextGrid::paintEvent(QPaintEvent* e)
{
    if (IsUpdating())
        return;   // what is on screen stays as it was
    QPainter p(viewport());
    const TSystemColors colors = SystemColors();
    PaintBody(p, e->region(), colors);
    PaintFocusRect(p);
    if (HeaderHeight() > 0)
        PaintHeader(p, colors);
    const int right = TotalColumnsWidth() - horizontalScrollBar()->value();
    if (right < viewport()->width())
        p.fillRect(QRect(right, 0, viewport()->width() - right, viewport()->height()), OrDefault(color_, colors.Window));
    headerMouse_->PaintOverlay(p);
}

void TNextGrid::PaintBody(QPainter& p, const QRegion& exposed, const TSystemColors& colors)
{
    const std::vector<TNxCustomColumn*> visible = columns_.VisibleInPositionOrder();
    const int scroll = horizontalScrollBar()->value();
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int grid = GridLineWidth();
    const int pitch = RowPitch();
    const int first = FirstRowInView();
    const int rowCount = cells_.RowCount();
    const bool showSelection = ShowsSelection();
    const bool fullRow = options_.testFlag(goSelectFullRow);
    const QColor controlColor = OrDefault(color_, colors.Window);
    const QColor gridColor = OrDefault(gridLinesColor_, colors.ButtonFace);
    const QColor selectionColor = OrDefault(selectionColor_, colors.Highlight);
    const QColor selectionText = OrDefault(highlightedTextColor_, colors.HighlightText);
    const QFont controlFont = font();

    for (int top = HeaderHeight(), row = first; top < height; top += pitch, ++row) {
        if (!exposed.intersects(QRect(0, top - 1, width, pitch + 1)))
            continue;
        const bool exists = row < rowCount;
        const bool rowSelected = exists && row == selectedRow_ && showSelection;
        int left = -scroll;
        for (TNxCustomColumn* column : visible) {
            const int L = left;
            const int R = left + column->Width();
            left = R;
            if (R <= 0)
                continue;
            if (L >= width)
                break;
            const int B = top + rowSize_;
            if (!exposed.intersects(QRect(L, top - 1, R - L + 1, B - top + 2)))
                continue;

            const TCell* cell = exists ? cells_.PeekCell(column->Index(), row) : nullptr;
            const bool highlighted = rowSelected && !column->Options().testFlag(coDontHighlight)
                                  && (fullRow || column->Index() == selectedCol_);
            const QColor background = !cell        ? controlColor
                                    : highlighted ? selectionColor
                                                  : OrDefault(cell->GetActualColor(), controlColor);
            if (grid) {
                p.fillRect(QRect(R - 1, top - 1, 1, B - top + 2), gridColor);   // y T-1 .. B
                p.fillRect(QRect(L, B, R - L + 1, 1), gridColor);               // x L .. R
            }
            const QRect content(L, top, R - L - grid, rowSize_);
            p.fillRect(content, background);
            if (!cell)
                continue;

            TCellPaintContext ctx;
            ctx.Canvas = &p;
            ctx.Rect = content.adjusted(column->Padding(), 0, -column->Padding(), 0);
            ctx.Highlighted = highlighted;
            ctx.Selected = row == selectedRow_ && column->Index() == selectedCol_;
            ctx.TextColor = highlighted ? selectionText : OrDefault(cell->GetActualFontColor(), colors.WindowText);
            ctx.Font = WithStyle(column->Font().value_or(controlFont), cell->FontStyle());
            ctx.Cell = cell;
            ctx.Colors = &colors;
            p.save();
            p.setClipRect(content, Qt::IntersectClip);
            column->Display().Fill(ctx);
            column->Display().Paint();
            p.restore();
        }
    }
}

void TNextGrid::PaintFocusRect(QPainter& p)
{
    if (!hasFocus() || selectedRow_ < FirstRowInView() || selectedRow_ >= cells_.RowCount())
        return;
    const int top = RowTop(selectedRow_);
    if (top >= viewport()->height())
        return;
    const int right = TotalColumnsWidth() - horizontalScrollBar()->value() - GridLineWidth();
    DrawFocusRect(p, QRect(0, top, right, rowSize_));
}

void TNextGrid::PaintHeader(QPainter& p, const TSystemColors& colors)
{
    const std::vector<TNxCustomColumn*> visible = columns_.VisibleInPositionOrder();
    const int width = viewport()->width();
    int left = -horizontalScrollBar()->value();
    for (size_t i = 0; i < visible.size() && left < width; ++i) {
        const TNxCustomColumn& column = *visible[i];
        THeaderPaintContext ctx;
        ctx.Canvas = &p;
        ctx.Rect = QRect(left, 0, column.Width(), HeaderHeight());
        ctx.Pressed = pressedHeader_ == &column;
        ctx.LastVisible = i + 1 == visible.size();
        ctx.Font = column.Header().ParentFont || !column.Header().Font ? font() : *column.Header().Font;
        ctx.TextColor = colors.WindowText;
        ctx.Colors = &colors;
        left += column.Width();
        if (left <= 0)
            continue;
        styleDisplay_->DrawHeader(column, ctx);
    }
}

} // namespace vantrel::grid
