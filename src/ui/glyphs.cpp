#include "ui/glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vantrel::ui::glyphs {

namespace {

const QColor FolderLight(214, 214, 214);
const QColor FolderDark(150, 150, 150);
const QColor FolderEdge(96, 96, 96);
const QColor GoldLight(255, 226, 110);
const QColor GoldDark(214, 156, 20);
const QColor GoldEdge(140, 92, 0);
const QColor ShackleColor(120, 120, 128);

QImage BlankGlyph()
{
    // 24 bits on white; white is the colour the buttons leave out.
    QImage image(GlyphSize, GlyphSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void Smooth(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
}

// A folder with its tab, filling `area`.
void DrawFolder(QPainter& painter, const QRectF& area)
{
    const qreal x = area.left(), y = area.top(), w = area.width(), h = area.height();
    QPainterPath back;
    back.moveTo(x, y + h * 0.12);
    back.lineTo(x + w * 0.36, y + h * 0.12);
    back.lineTo(x + w * 0.44, y + h * 0.26);
    back.lineTo(x + w, y + h * 0.26);
    back.lineTo(x + w, y + h);
    back.lineTo(x, y + h);
    back.closeSubpath();
    painter.setPen(QPen(FolderEdge, 1.0));
    painter.setBrush(FolderDark);
    painter.drawPath(back);

    QLinearGradient front(0, y + h * 0.38, 0, y + h);
    front.setColorAt(0, FolderLight.lighter(108));
    front.setColorAt(1, FolderLight.darker(112));
    QPainterPath flap;
    flap.moveTo(x + w * 0.08, y + h * 0.40);
    flap.lineTo(x + w, y + h * 0.40);
    flap.lineTo(x + w - w * 0.04, y + h);
    flap.lineTo(x, y + h);
    flap.closeSubpath();
    painter.setBrush(front);
    painter.drawPath(flap);
}

// A padlock body at `body`; an open lock has its shackle swung up and right.
void DrawPadlock(QPainter& painter, const QRectF& body, bool open)
{
    const qreal shackleWidth = body.width() * 0.62;
    const qreal shackleLeft = body.center().x() - shackleWidth / 2 + (open ? body.width() * 0.34 : 0);
    const qreal lift = open ? body.height() * 0.35 : 0;
    const QRectF arc(shackleLeft, body.top() - body.height() * 0.72 - lift, shackleWidth, body.height() * 1.1);

    QPainterPath shackle;
    shackle.moveTo(arc.left(), body.top() + 0.5 - (open ? lift : 0));
    shackle.lineTo(arc.left(), arc.center().y());
    shackle.arcTo(arc, 180, -180);
    shackle.lineTo(arc.right(), body.top() + 0.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ShackleColor, body.width() * 0.16, Qt::SolidLine, Qt::FlatCap));
    painter.drawPath(shackle);

    QLinearGradient gold(body.topLeft(), body.bottomRight());
    gold.setColorAt(0, GoldLight);
    gold.setColorAt(1, GoldDark);
    painter.setPen(QPen(GoldEdge, 1.0));
    painter.setBrush(gold);
    painter.drawRoundedRect(body, body.width() * 0.12, body.width() * 0.12);

    // The keyhole.
    const QPointF hole(body.center().x(), body.top() + body.height() * 0.42);
    const qreal r = body.width() * 0.1;
    painter.setPen(Qt::NoPen);
    painter.setBrush(GoldEdge);
    painter.drawEllipse(hole, r, r);
    painter.drawRect(QRectF(hole.x() - r * 0.5, hole.y(), r, body.height() * 0.3));
}

void DrawSheet(QPainter& painter, const QRectF& sheet, bool withText)
{
    const qreal fold = sheet.width() * 0.32;
    QPainterPath page;
    page.moveTo(sheet.topLeft());
    page.lineTo(sheet.right() - fold, sheet.top());
    page.lineTo(sheet.right(), sheet.top() + fold);
    page.lineTo(sheet.bottomRight());
    page.lineTo(sheet.bottomLeft());
    page.closeSubpath();
    painter.setPen(QPen(QColor(110, 110, 120), 1.0));
    painter.setBrush(QColor(252, 252, 252));
    painter.drawPath(page);

    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    corner.closeSubpath();
    painter.setBrush(QColor(208, 212, 222));
    painter.drawPath(corner);

    if (!withText)
        return;
    painter.setPen(QPen(QColor(120, 140, 180), 1.5));
    for (qreal y = sheet.top() + fold + 4; y < sheet.bottom() - 4; y += 4.5)
        painter.drawLine(QPointF(sheet.left() + 5, y), QPointF(sheet.right() - 5, y));
}

} // namespace

QImage Folder()
{
    QImage image = BlankGlyph();
    QPainter painter(&image);
    Smooth(painter);
    DrawFolder(painter, QRectF(2.5, 5.5, 27, 22));
    return image;
}

QImage FolderWithLock()
{
    QImage image = BlankGlyph();
    QPainter painter(&image);
    Smooth(painter);
    DrawFolder(painter, QRectF(1.5, 3.5, 24, 20));
    DrawPadlock(painter, QRectF(15.5, 18.5, 14, 11), false);
    return image;
}

QImage OpenLock()
{
    QImage image = BlankGlyph();
    QPainter painter(&image);
    Smooth(painter);
    DrawPadlock(painter, QRectF(5.5, 17.5, 19, 13), true);
    return image;
}

QImage StopSquare()
{
    QImage image = BlankGlyph();
    QPainter painter(&image);
    Smooth(painter);
    const QPointF centre(16, 16);
    // The frame is off-white so the button does not leave it out.
    painter.setPen(QPen(QColor(120, 130, 150), 1.0));
    painter.setBrush(QColor(248, 248, 248));
    painter.drawEllipse(centre, 14, 14);
    QLinearGradient blue(9, 9, 23, 23);
    blue.setColorAt(0, QColor(90, 150, 240));
    blue.setColorAt(1, QColor(20, 70, 180));
    painter.setPen(QPen(QColor(16, 50, 130), 1.0));
    painter.setBrush(blue);
    painter.drawRoundedRect(QRectF(9.5, 9.5, 13, 13), 1.5, 1.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(170, 180, 200), 1.0));
    painter.drawEllipse(centre, 11.5, 11.5);
    return image;
}

QImage BlankSheet()
{
    QImage image = BlankGlyph();
    QPainter painter(&image);
    Smooth(painter);
    DrawSheet(painter, QRectF(6.5, 2.5, 19, 27), false);
    return image;
}

QImage WindowIcon()
{
    QImage image(IconSize, IconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Smooth(painter);
    DrawSheet(painter, QRectF(4.5, 1.5, 30, 40), true);
    DrawPadlock(painter, QRectF(23.5, 29.5, 20, 16), false);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace vantrel::ui::glyphs
