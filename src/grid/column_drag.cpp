#include "grid/column_drag.h"
#include "grid/next_grid.h"
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>

namespace vantrel::grid {

namespace {

constexpr int ArrowHalfWidth = 4;
constexpr int ArrowHeight = 5;
const QColor ArrowColor(0xC0, 0x00, 0x00);

// A borderless window that shows a picture and lets the mouse through.
class TDragImage : public QWidget {
public:
    TDragImage(QWidget* owner, const QPixmap& picture)
        : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput),
          picture_(picture)
    {
        setObjectName(QStringLiteral("columnDragImage"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setFixedSize(picture.deviceIndependentSize().toSize());
        setWindowOpacity(0.75);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
};

// A triangle pointing down (from the top of the band) or up (from its
// bottom) at the landing edge.
void DrawArrow(QPainter& p, int x, int tipY, bool pointsDown)
{
    for (int step = 0; step < ArrowHeight; ++step) {
        const int half = ArrowHalfWidth - step;
        const int y = pointsDown ? tipY - step : tipY + step;
        p.fillRect(QRect(x - half, y, 2 * half + 1, 1), ArrowColor);
    }
}

} // namespace

TColumnDrag::~TColumnDrag() = default;

void TColumnDrag::Begin(TNxCustomColumn& column, const QPoint& grab, const QPoint& pos)
{
    column_ = &column;
    const QRect header = grid_.HeaderRect(column);
    grab_ = grab - header.topLeft();
    // The picture is taken before the pressed look could show in it.
    grid_.SetPressedHeader(nullptr);
    const QPixmap picture = grid_.viewport()->grab(header);
    image_ = new TDragImage(&grid_, picture);
    Move(pos);
    image_->show();
}

void TColumnDrag::Move(const QPoint& pos)
{
    if (!column_)
        return;
    // One header height lower than where it was held: the image must not
    // cover the drop arrows and captions of the band it is dropped into.
    image_->move(grid_.viewport()->mapToGlobal(pos - grab_ + QPoint(0, grid_.HeaderHeight())));
    const std::optional<TLanding> landing = LandingAt(pos);
    ShowArrowsAt(landing ? std::optional<int>(landing->EdgeX) : std::nullopt);
    if (InDropArea(pos))
        grid_.viewport()->unsetCursor();
    else
        grid_.viewport()->setCursor(Qt::ForbiddenCursor);
}

void TColumnDrag::Drop(const QPoint& pos)
{
    if (!column_)
        return;
    TNxCustomColumn& column = *column_;
    const bool inside = InDropArea(pos);
    const std::optional<TLanding> landing = LandingAt(pos);
    End();
    if (landing && landing->Position != column.Position()) {
        const int old = column.Position();
        grid_.Columns().Move(column, landing->Position);
        events_.ColumnMoved(column.Index(), old, column.Position());
    } else if (!inside && grid_.Options().testFlag(goCanHideColumn)) {
        column.SetVisible(false);
    }
    grid_.viewport()->update(QRect(0, 0, grid_.viewport()->width(), grid_.HeaderHeight()));
}

void TColumnDrag::Cancel()
{
    if (column_)
        End();
}

void TColumnDrag::End()
{
    ShowArrowsAt(std::nullopt);
    delete image_;
    image_ = nullptr;
    column_ = nullptr;
    grid_.viewport()->unsetCursor();
}

bool TColumnDrag::InDropArea(const QPoint& pos) const
{
    const int right = std::min(grid_.TotalColumnsWidth() - grid_.horizontalScrollBar()->value(),
                               grid_.viewport()->width());
    return pos.x() >= 0 && pos.x() < right && pos.y() >= 0 && pos.y() < grid_.HeaderHeight();
}

std::optional<TColumnDrag::TLanding> TColumnDrag::LandingAt(const QPoint& pos) const
{
    if (!column_ || !InDropArea(pos))
        return std::nullopt;
    const TNxCustomColumn* target = grid_.ColumnAtX(pos.x());
    if (!target || target == column_)
        return std::nullopt;
    const QRect header = grid_.HeaderRect(*target);
    const bool rightHalf = pos.x() >= header.left() + header.width() / 2;
    const int from = column_->Position();
    const int to = target->Position();
    // Taking the column out first shifts the columns after it by one.
    TLanding landing;
    if (rightHalf) {
        landing.Position = from < to ? to : to + 1;
        landing.EdgeX = header.left() + header.width();
    } else {
        landing.Position = from < to ? to - 1 : to;
        landing.EdgeX = header.left();
    }
    return landing;
}

void TColumnDrag::Paint(QPainter& p) const
{
    if (!arrowX_)
        return;
    DrawArrow(p, *arrowX_, ArrowHeight - 1, true);
    DrawArrow(p, *arrowX_, grid_.HeaderHeight() - ArrowHeight, false);
}

void TColumnDrag::ShowArrowsAt(std::optional<int> edgeX)
{
    if (edgeX == arrowX_)
        return;
    RefreshArrows();
    arrowX_ = edgeX;
    RefreshArrows();
}

void TColumnDrag::RefreshArrows() const
{
    if (arrowX_)
        grid_.viewport()->update(QRect(*arrowX_ - ArrowHalfWidth, 0, 2 * ArrowHalfWidth + 1, grid_.HeaderHeight()));
}

} // namespace vantrel::grid
