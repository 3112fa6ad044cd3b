#include "ui/nx_label.h"

#include <QPainter>

namespace vantrel::ui {

TNxLabel::TNxLabel(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , caption_(caption)
{
    // No background of its own: the strip behind shows through.
    setAutoFillBackground(false);
    resize(sizeHint());
}

void TNxLabel::SetCaption(const QString& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize TNxLabel::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, caption_);
}

void TNxLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
}

} // namespace vantrel::ui
