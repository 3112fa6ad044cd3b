#include "ui/nx_check_box.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionButton>

namespace vantrel::ui {

TNxCheckBox::TNxCheckBox(const QString& caption, QWidget* parent)
    : QWidget(parent)
    , caption_(caption)
{
    // Not reached by Tab, but a click gives it the keyboard.
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TNxCheckBox::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    update(BoxRect());
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    emit Changed(checked_);
}

void TNxCheckBox::SetShortcut(const QKeySequence& key)
{
    delete shortcut_;
    shortcut_ = nullptr;
    if (key.isEmpty())
        return;
    shortcut_ = new QShortcut(key, this);
    connect(shortcut_, &QShortcut::activated, this, [this] {
        setFocus(Qt::ShortcutFocusReason);
        SetChecked(!checked_);
    });
}

QKeySequence TNxCheckBox::Shortcut() const
{
    return shortcut_ ? shortcut_->key() : QKeySequence();
}

void TNxCheckBox::SetLook(std::optional<ControlLook> look)
{
    look_ = look;
    update();
}

QRect TNxCheckBox::ClientRect() const
{
    return rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
}

QRect TNxCheckBox::BoxRect() const
{
    const int size = Look() == ControlLook::Themed ? ThemedBoxSize : ClassicBoxSize;
    const QRect client = ClientRect();
    return QRect(client.left() + BoxLeft, client.top() + client.height() / 2 - size / 2, size, size);
}

bool TNxCheckBox::OverBox(QPoint pos) const
{
    return expandActiveRect_ ? rect().contains(pos) : BoxRect().contains(pos);
}

void TNxCheckBox::SetPressed(bool pressed)
{
    if (pressed == pressed_)
        return;
    pressed_ = pressed;
    update(BoxRect());
}

void TNxCheckBox::SetHovered(bool hovered)
{
    if (hovered == hovered_)
        return;
    hovered_ = hovered;
    update(BoxRect());
}

void TNxCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    DrawBorder(painter);

    const QRect box = BoxRect();
    if (Look() == ControlLook::Themed)
        DrawThemedBox(painter, box);
    else
        DrawClassicBox(painter, box);

    const QRect client = ClientRect();
    QRect captionRect = client;
    captionRect.setLeft(box.right() + 1 + Indent);
    painter.setClipRect(client);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption_);
}

void TNxCheckBox::DrawBorder(QPainter& painter) const
{
    // One border in either look; the themed frame leaves the rest of the
    // edge in the control's colour.
    if (Look() == ControlLook::Themed)
        DrawThemedEditFrame(painter, *this, rect(), false);
    else
        DrawSunkenEdge(painter, rect(), palette());
}

void TNxCheckBox::DrawClassicBox(QPainter& painter, QRect box) const
{
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(palette().color(pressed_ ? QPalette::Button : QPalette::Base));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (!checked_)
        return;

    painter.setPen(palette().color(QPalette::Text));
    painter.translate(box.topLeft());
    for (int dy = 0; dy < 3; ++dy) {
        const QPoint tick[] = {{2, 4 + dy}, {4, 6 + dy}, {9, 1 + dy}};
        painter.drawPolyline(tick, 3);
    }
    painter.resetTransform();
}

void TNxCheckBox::DrawThemedBox(QPainter& painter, QRect box) const
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = box;
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_Sunken | QStyle::State_HasFocus);
    option.state |= checked_ ? QStyle::State_On : QStyle::State_Off;
    if (isEnabled() && hovered_) {
        option.state |= QStyle::State_MouseOver;
        if (pressed_)
            option.state |= QStyle::State_Sunken;
    }
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
}

void TNxCheckBox::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton && OverBox(event->position().toPoint()))
        SetPressed(true);
    event->accept();
}

void TNxCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    // A release over the box toggles, wherever the press began.
    if (event->button() == Qt::LeftButton && OverBox(event->position().toPoint()))
        SetChecked(!checked_);
    SetPressed(false);
    event->accept();
}

void TNxCheckBox::mouseMoveEvent(QMouseEvent* event)
{
    SetHovered(OverBox(event->position().toPoint()));
    event->accept();
}

void TNxCheckBox::leaveEvent(QEvent* event)
{
    SetHovered(false);
    QWidget::leaveEvent(event);
}

void TNxCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            SetPressed(true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TNxCheckBox::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            SetPressed(false);
            SetChecked(!checked_);
        }
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace vantrel::ui
