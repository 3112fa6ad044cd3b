#pragma once
// A caption drawn at the top left in the window's font and text colour, with
// no background of its own. The label takes the size of its caption.
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

class QShortcut;

namespace vantrel::ui {

class TNxLabel : public QWidget {
    Q_OBJECT
public:
    explicit TNxLabel(const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    QSize sizeHint() const override;

    // The control this label names. `shortcut` puts the keyboard focus in
    // it, as a click would, while the control is enabled.
    void SetBuddy(QWidget* buddy, const QKeySequence& shortcut = {});
    QWidget* Buddy() const { return buddy_; }
    QKeySequence BuddyShortcut() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QPointer<QWidget> buddy_;
    QShortcut* buddyShortcut_ = nullptr;
};

} // namespace vantrel::ui
