#include "ui/nx_label.h"

#include <QPainter>
#include <QShortcut>

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

void TNxLabel::SetBuddy(QWidget* buddy, const QKeySequence& shortcut)
{
    buddy_ = buddy;
    delete buddyShortcut_;
    buddyShortcut_ = nullptr;
    if (!buddy || shortcut.isEmpty())
        return;
    buddyShortcut_ = new QShortcut(shortcut, this);
    connect(buddyShortcut_, &QShortcut::activated, this, [this] {
        if (buddy_)
            buddy_->setFocus(Qt::ShortcutFocusReason);
    });
}

QKeySequence TNxLabel::BuddyShortcut() const
{
    return buddyShortcut_ ? buddyShortcut_->key() : QKeySequence();
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
