#include "ui/nx_panel.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace vantrel::ui {

namespace {
int Blend(int start, int end, int y, int height)
{
    return static_cast<int>(std::lround(start + double(end - start) * y / height));
}
} // namespace

TNxPanel::TNxPanel(QWidget* parent)
    : QWidget(parent)
{
    // The gradient covers every pixel, so erasing first would only flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor TNxPanel::GradientRow(QColor start, QColor end, int y, int height)
{
    return QColor(Blend(start.red(), end.red(), y, height), Blend(start.green(), end.green(), y, height),
                  Blend(start.blue(), end.blue(), y, height));
}

void TNxPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QColor start = palette().color(QPalette::Base);
    const QRect dirty = event->rect();
    const int h = height();
    for (int y = dirty.top(); y <= dirty.bottom() && y < h; ++y) {
        painter.setPen(GradientRow(start, SchemeButtonFace, y, h));
        painter.drawLine(dirty.left(), y, dirty.right(), y);
    }
    // The border pen has width 0: the left and top lines are one pixel wide,
    // the bottom and right ones fall just outside the strip.
    painter.setPen(Qt::black);
    painter.drawLine(0, 0, 0, h - 1);
    painter.drawLine(0, 0, width() - 1, 0);
}

} // namespace vantrel::ui
