#include "ui/speed_button.h"

#include "ui/hint.h"

#include <QBitmap>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace vantrel::ui {

TSpeedButton::TSpeedButton(QWidget* parent)
    : QAbstractButton(parent)
{
    // A tool button never takes the focus from the key field.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TSpeedButton::SetHint(const QString& hint)
{
    ui::SetHint(*this, hint);
}

void TSpeedButton::SetGlyph(const QImage& glyph)
{
    glyph_ = QPixmap::fromImage(glyph);
    if (!glyph.isNull()) {
        const QRgb transparent = glyph.pixel(0, glyph.height() - 1);
        glyph_.setMask(QBitmap::fromImage(glyph.createMaskFromColor(transparent, Qt::MaskInColor)));
    }
    update();
}

void TSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool down = isDown();
    if (down || (hovered_ && isEnabled()))
        DrawEdge(painter, down);

    if (glyph_.isNull())
        return;
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    QPoint topLeft(inside.left() + (inside.width() - glyph_.width()) / 2,
                   inside.top() + (inside.height() - glyph_.height()) / 2);
    if (down)
        topLeft += QPoint(1, 1);
    if (isEnabled()) {
        painter.drawPixmap(topLeft, glyph_);
    } else {
        QStyleOption option;
        option.initFrom(this);
        painter.drawPixmap(topLeft, style()->generatedIconPixmap(QIcon::Disabled, glyph_, &option));
    }
}

void TSpeedButton::DrawEdge(QPainter& painter, bool sunken) const
{
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QRect r = rect();
    painter.setPen(sunken ? dark : light);
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.setPen(sunken ? light : dark);
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

void TSpeedButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TSpeedButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

} // namespace vantrel::ui

