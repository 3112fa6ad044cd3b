#include "ui/nx_edit.h"

#include "ui/masked_text_events.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>

namespace vantrel::ui {

namespace {

// Masks with "*" whatever character the style would choose, and never shows
// the last typed character unmasked. The timing of tool tips stays the
// application's, like that of every other control.
class StarMaskStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        switch (hint) {
        case SH_LineEdit_PasswordCharacter:
            return '*';
        case SH_LineEdit_PasswordMaskDelay:
            return 0;
        case SH_ToolTip_WakeUpDelay:
        case SH_ToolTip_FallAsleepDelay:
            return QApplication::style()->styleHint(hint, option, widget, returnData);
        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

QStyle* CreateStarMaskStyle(QObject* owner)
{
    // Based on a fresh copy of the application's style, so the field looks
    // like every other control apart from its mask.
    QStyle* base = QStyleFactory::create(DrawingStyleName(*QApplication::style()));
    auto* style = new StarMaskStyle(base);
    style->setParent(owner);
    return style;
}

QCursor DrawReversedArrow()
{
    // The ordinary arrow mirrored left to right: it points up and to the right.
    constexpr int size = 32;
    const QPolygon outline({{0, 0}, {0, 16}, {4, 12}, {7, 19}, {10, 18}, {7, 11}, {12, 11}});
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(size - 1, 0);
        painter.scale(-1, 1);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawPolygon(outline);
    }
    return QCursor(QPixmap::fromImage(image), size - 1, 0);
}

} // namespace

TNxEdit::TNxEdit(QWidget* parent)
    : QLineEdit(parent)
{
    // Before the field can tell anything: from the first key field on, no
    // text of a masked field reaches assistive tools unmasked.
    InstallTextEventMasking();
    setStyle(CreateStarMaskStyle(this));
    setEchoMode(QLineEdit::Password);
    setFrame(false);
    setContentsMargins(EdgeWidth, EdgeWidth, EdgeWidth, EdgeWidth);
    setTextMargins(0, 0, 0, 0);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setBackgroundRole(QPalette::Base);
}

const QCursor& TNxEdit::ReversedArrowCursor()
{
    static const QCursor cursor = DrawReversedArrow();
    return cursor;
}

QRect TNxEdit::ClientRect() const
{
    return rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
}

bool TNxEdit::InSelectAllStrip(QPoint pos) const
{
    const QRect client = ClientRect();
    const int x = pos.x() - client.left();
    return x >= 0 && x < SelectAllColumns && pos.y() >= client.top() && pos.y() <= client.bottom();
}

void TNxEdit::SetLook(std::optional<ControlLook> look)
{
    look_ = look;
    update();
}

void TNxEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    DrawEdge(painter);
}

void TNxEdit::DrawEdge(QPainter& painter) const
{
    DrawSunkenEdge(painter, rect(), palette());
    if (EffectiveLook(*this, look_) == ControlLook::Themed)
        DrawThemedEditFrame(painter, *this, rect(), true);
}

void TNxEdit::UpdatePointer(QPoint pos)
{
    if (InSelectAllStrip(pos))
        setCursor(ReversedArrowCursor());
    else
        setCursor(Qt::IBeamCursor);
}

void TNxEdit::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && InSelectAllStrip(event->position().toPoint())) {
        setFocus(Qt::MouseFocusReason);
        selectAll();
        selectedAllByPress_ = true;
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TNxEdit::mouseMoveEvent(QMouseEvent* event)
{
    UpdatePointer(event->position().toPoint());
    // A drag that began in the strip keeps the whole text selected.
    if (selectedAllByPress_) {
        event->accept();
        return;
    }
    QLineEdit::mouseMoveEvent(event);
}

void TNxEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (selectedAllByPress_ && event->button() == Qt::LeftButton) {
        selectedAllByPress_ = false;
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TNxEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && InSelectAllStrip(event->position().toPoint())) {
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

} // namespace vantrel::ui
