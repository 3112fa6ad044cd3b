#pragma once
// Finding text in the viewer: a field below the text that finds as the
// reader types, letter case ignored (in every script), going on from the
// start or the end when it reaches the other.
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace vantrel::ui {

class FindBar : public QWidget {
    Q_OBJECT
public:
    inline static const QString NotFoundText = QStringLiteral("Not found");
    inline static const QString NotFoundYetText = QStringLiteral("Not found in the text shown so far");

    // `isComplete` tells whether the whole text is in the document yet.
    FindBar(QPlainTextEdit& text, std::function<bool()> isComplete, QWidget* parent = nullptr);

    // Shows the bar with the focus in its field, which starts with the
    // selected text when that is one line.
    void Open();
    // Hides the bar and gives the focus back to the text.
    void Close();
    // From the selection on; false when the text holds no match.
    bool FindNext();
    bool FindPrevious();

    QLineEdit& Field() const { return *field_; }
    QLabel& Result() const { return *result_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Find(bool backward, bool fromSelectionStart);

    QPlainTextEdit& text_;
    std::function<bool()> isComplete_;
    QLineEdit* field_ = nullptr;
    QLabel* result_ = nullptr;
};

} // namespace vantrel::ui
