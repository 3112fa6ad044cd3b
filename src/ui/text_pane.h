#pragma once
// The viewer's text: read-only, selectable with the mouse and the keyboard,
// copied as plain Unicode text. A text of many megabytes goes in a piece at
// a time while the window stays usable, and a line longer than a screen can
// show is laid out in pieces, since laying out one line costs its whole
// length each time it is drawn.
#include <QPlainTextEdit>
#include <string>
#include <vector>

class QTimer;

namespace vantrel::ui {

class TextPane : public QPlainTextEdit {
    Q_OBJECT
public:
    // The longest stretch shown as one line; a longer line goes on in the
    // next. Copying gives the line whole again.
    static constexpr int LongestShownLine = 4096;
    // How much text goes in between two turns of the event loop.
    static constexpr int FillStep = 64 * 1024;

    explicit TextPane(QWidget* parent = nullptr);

    // Shows text in place of what was shown: its beginning at once, the
    // rest as the window is idle. Line ends of every kind show as line
    // ends, and copy as "\n". Taken as the converter gives it, so that
    // megabytes of text are not copied once more.
    void ShowText(std::u16string text);
    bool IsFilled() const;

signals:
    // The whole text is in.
    void Filled();

protected:
    QMimeData* createMimeDataFromSelection() const override;

private:
    void FillStepNow();
    // The next piece of text_ as the document takes it: each line end one
    // "\n", and a break after every LongestShownLine characters of a line.
    QString NextPiece();

    std::u16string text_;          // while it goes in; released once it is all in
    qsizetype next_ = 0;           // where in text_ the next piece begins
    int lineLength_ = 0;           // characters shown since the last line end
    int shownLength_ = 0;          // characters in the document
    std::vector<int> pieceBreaks_; // document positions of breaks the text has not
    QTimer* filler_ = nullptr;
};

} // namespace vantrel::ui
