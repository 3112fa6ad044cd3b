#include "ui/masked_text_events.h"

#include <QAccessible>
#include <QLineEdit>
#include <QStyle>

namespace vantrel::ui {

namespace {

// Whoever received the events before the masking: a tool's handler, or
// nobody, and then Qt hands them to the desktop.
QAccessible::UpdateHandler previousHandler = nullptr;

void MaskingHandler(QAccessibleEvent* event);

void PassOn(QAccessibleEvent* event)
{
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    // Qt hands an event to the desktop only while no handler is installed,
    // so the masking steps aside for the one event.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&MaskingHandler);
}

QString Masked(const QLineEdit& field, const QString& text)
{
    return MaskFor(field, text.size());
}

void MaskingHandler(QAccessibleEvent* event)
{
    const auto* field = qobject_cast<QLineEdit*>(event->object());
    if (!field || field->echoMode() == QLineEdit::Normal) {
        PassOn(event);
        return;
    }
    QObject* object = event->object();
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto& typed = static_cast<const QAccessibleTextInsertEvent&>(*event);
        QAccessibleTextInsertEvent masked(object, typed.changePosition(), Masked(*field, typed.textInserted()));
        masked.setCursorPosition(typed.cursorPosition());
        PassOn(&masked);
        return;
    }
    case QAccessible::TextRemoved: {
        const auto& removed = static_cast<const QAccessibleTextRemoveEvent&>(*event);
        QAccessibleTextRemoveEvent masked(object, removed.changePosition(), Masked(*field, removed.textRemoved()));
        masked.setCursorPosition(removed.cursorPosition());
        PassOn(&masked);
        return;
    }
    case QAccessible::TextUpdated: {
        const auto& updated = static_cast<const QAccessibleTextUpdateEvent&>(*event);
        QAccessibleTextUpdateEvent masked(object, updated.changePosition(), Masked(*field, updated.textRemoved()),
                                          Masked(*field, updated.textInserted()));
        masked.setCursorPosition(updated.cursorPosition());
        PassOn(&masked);
        return;
    }
    default:
        PassOn(event);
        return;
    }
}

} // namespace

QString MaskFor(const QLineEdit& field, qsizetype length)
{
    if (field.echoMode() == QLineEdit::NoEcho)
        return {};
    const QChar mask(field.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &field));
    return QString(length, mask);
}

void InstallTextEventMasking()
{
    // Qt keeps a single handler for the whole process; taking it once and
    // never giving it back keeps every event on one path.
    static const bool installed = [] {
        previousHandler = QAccessible::installUpdateHandler(&MaskingHandler);
        return true;
    }();
    (void)installed;
}

} // namespace vantrel::ui
