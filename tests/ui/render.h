#pragma once
// Renders a widget (and its children) into an image for pixel checks.
#include <QColor>
#include <QImage>
#include <QWidget>

namespace vantrel::ui::test {

inline QImage Render(QWidget& widget, QColor underlay = Qt::magenta)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(underlay);
    widget.render(&image);
    return image;
}

inline QColor At(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

} // namespace vantrel::ui::test
