#include "ui/text_pane.h"

#include <QMimeData>
#include <QTimer>
#include <algorithm>

namespace vantrel::ui {
namespace {

constexpr QChar LineEnd = u'\n';

bool IsLineEnd(QChar c)
{
    // What the document makes a line end of, whatever it was in the file.
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

} // namespace

TextPane::TextPane(QWidget* parent) : QPlainTextEdit(parent), filler_(new QTimer(this))
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A viewer never undoes; the history would double what the text takes.
    document()->setUndoRedoEnabled(false);
    filler_->setInterval(0);
    connect(filler_, &QTimer::timeout, this, &TextPane::FillStepNow);
}

bool TextPane::IsFilled() const
{
    return !filler_->isActive();
}

void TextPane::ShowText(std::u16string text)
{
    filler_->stop();
    clear();
    text_ = std::move(text);
    next_ = 0;
    lineLength_ = 0;
    shownLength_ = 0;
    pieceBreaks_.clear();
    FillStepNow();
    // The reader starts at the top; later pieces leave the caret and the
    // selection where the reader put them.
    moveCursor(QTextCursor::Start);
}

QString TextPane::NextPiece()
{
    const QStringView text(text_);
    const qsizetype end = std::min(text.size(), next_ + FillStep);
    QString piece;
    piece.reserve(end - next_ + (end - next_) / LongestShownLine + 1);
    while (next_ < end) {
        const QChar c = text[next_];
        if (IsLineEnd(c)) {
            // One "\n" for "\r\n" too: the document would make one line end
            // of it, setting its positions apart from the text's.
            next_ += c == u'\r' && next_ + 1 < text.size() && text[next_ + 1] == u'\n' ? 2 : 1;
            piece.append(LineEnd);
            lineLength_ = 0;
            continue;
        }
        // The rest of the line up to the next line end, the end of the
        // piece or the longest stretch shown, in one go.
        qsizetype stop = next_;
        const qsizetype limit = std::min(end, next_ + (LongestShownLine - lineLength_));
        while (stop < limit && !IsLineEnd(text[stop])) ++stop;
        // Never between the halves of a character.
        if (stop == limit && stop < text.size() && text[stop].isLowSurrogate()) ++stop;
        piece.append(text.mid(next_, stop - next_));
        lineLength_ += int(stop - next_);
        next_ = stop;
        if (lineLength_ >= LongestShownLine && next_ < text.size() && !IsLineEnd(text[next_])) {
            pieceBreaks_.push_back(shownLength_ + int(piece.size()));
            piece.append(LineEnd);
            lineLength_ = 0;
        }
    }
    shownLength_ += int(piece.size());
    return piece;
}

void TextPane::FillStepNow()
{
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(NextPiece());
    if (next_ < qsizetype(text_.size())) {
        filler_->start();
        return;
    }
    filler_->stop();
    text_ = std::u16string(); // the document has its own copy
    next_ = 0;
    emit Filled();
}

QMimeData* TextPane::createMimeDataFromSelection() const
{
    const QTextCursor selection = textCursor();
    const int start = selection.selectionStart();
    const QString selected = selection.selectedText();
    QString text;
    text.reserve(selected.size());
    auto pieceBreak = std::lower_bound(pieceBreaks_.begin(), pieceBreaks_.end(), start);
    for (qsizetype i = 0; i < selected.size(); ++i) {
        const QChar c = selected[i];
        if (c != QChar::ParagraphSeparator) {
            text.append(c);
            continue;
        }
        const int at = start + int(i);
        while (pieceBreak != pieceBreaks_.end() && *pieceBreak < at) ++pieceBreak;
        if (pieceBreak == pieceBreaks_.end() || *pieceBreak != at) text.append(LineEnd);
    }
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

} // namespace vantrel::ui
