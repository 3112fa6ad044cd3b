#include "ui/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolButton>

namespace vantrel::ui {

FindBar::FindBar(QPlainTextEdit& text, std::function<bool()> isComplete, QWidget* parent)
    : QWidget(parent), text_(text), isComplete_(std::move(isComplete))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    auto* label = new QLabel(QStringLiteral("F&ind:"), this);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findField"));
    field_->setClearButtonEnabled(true);
    label->setBuddy(field_);
    auto* previous = new QToolButton(this);
    previous->setText(QStringLiteral("Previous"));
    previous->setToolTip(QKeySequence(QKeySequence::FindPrevious).toString(QKeySequence::NativeText));
    auto* next = new QToolButton(this);
    next->setText(QStringLiteral("Next"));
    next->setToolTip(QKeySequence(QKeySequence::FindNext).toString(QKeySequence::NativeText));
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("Close"));
    close->setAutoRaise(true);
    result_ = new QLabel(this);
    layout->addWidget(label);
    layout->addWidget(field_, 1);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(result_, 1);
    layout->addWidget(close);

    // Typing finds from where the match so far begins, so that it grows.
    connect(field_, &QLineEdit::textEdited, this, [this] { Find(false, true); });
    connect(previous, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(close, &QToolButton::clicked, this, &FindBar::Close);
    field_->installEventFilter(this);
    hide();
}

void FindBar::Open()
{
    const QString selected = text_.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator)) field_->setText(selected);
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::Close()
{
    hide();
    result_->clear();
    text_.setFocus(Qt::OtherFocusReason);
}

bool FindBar::FindNext()
{
    return Find(false, false);
}

bool FindBar::FindPrevious()
{
    return Find(true, false);
}

bool FindBar::Find(bool backward, bool fromSelectionStart)
{
    const QString wanted = field_->text();
    result_->clear();
    if (wanted.isEmpty()) return false;
    QTextDocument& document = *text_.document();
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextCursor from = text_.textCursor();
    if (fromSelectionStart) from.setPosition(from.selectionStart());
    QTextCursor found = document.find(wanted, from, flags);
    if (found.isNull()) {
        // Round the end, to the other side of the text.
        QTextCursor edge(&document);
        edge.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        found = document.find(wanted, edge, flags);
    }
    if (found.isNull()) {
        result_->setText(isComplete_() ? NotFoundText : NotFoundYetText);
        return false;
    }
    text_.setTextCursor(found);
    text_.ensureCursorVisible();
    return true;
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != field_ || (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Escape:
        // In the field it closes the bar, not the window around it.
        if (key->modifiers() != Qt::NoModifier) break;
        if (event->type() == QEvent::KeyPress) Close();
        event->accept();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->type() != QEvent::KeyPress) break;
        if (key->modifiers() & Qt::ShiftModifier)
            FindPrevious();
        else
            FindNext();
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantrel::ui
