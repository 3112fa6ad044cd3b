#pragma once
// The key-check option: a self-drawn check box whose box alone reacts to the
// mouse, toggled on release over the box or on release of Space.
#include "ui/control_look.h"

#include <QKeySequence>
#include <QWidget>
#include <optional>

class QShortcut;

namespace vantrel::ui {

class TNxCheckBox : public QWidget {
    Q_OBJECT
public:
    enum class Option { ExpandActiveRect };

    // The box's distance from the client area's left side; the client area
    // lies inside the control's EdgeWidth border.
    static constexpr int BoxLeft = 2;
    static constexpr int ClassicBoxSize = 11;
    static constexpr int ThemedBoxSize = 13;
    // Gap between the box and the caption.
    static constexpr int Indent = 4;

    explicit TNxCheckBox(const QString& caption, QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

    const QString& Caption() const { return caption_; }

    // A key that does what a click on the box does: takes the focus and
    // toggles. Off while the check box is disabled.
    void SetShortcut(const QKeySequence& key);
    QKeySequence Shortcut() const;

    // With ExpandActiveRect the whole control counts as the box.
    void SetExpandActiveRect(bool expand) { expandActiveRect_ = expand; }

    // Forces one look; by default it follows the style at every paint.
    void SetLook(std::optional<ControlLook> look);
    ControlLook Look() const { return EffectiveLook(*this, look_); }

    // The control without its border.
    QRect ClientRect() const;
    // Where the box is drawn in the current look.
    QRect BoxRect() const;

    bool IsPressed() const { return pressed_; }
    bool IsHovered() const { return hovered_; }

signals:
    // Fired on every change of Checked.
    void Changed(bool checked);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool OverBox(QPoint pos) const;
    void SetPressed(bool pressed);
    void SetHovered(bool hovered);
    void DrawBorder(QPainter& painter) const;
    void DrawClassicBox(QPainter& painter, QRect box) const;
    void DrawThemedBox(QPainter& painter, QRect box) const;

    QString caption_;
    std::optional<ControlLook> look_;
    bool checked_ = false;
    bool pressed_ = false;
    bool hovered_ = false;
    bool expandActiveRect_ = false;
    QShortcut* shortcut_ = nullptr;
};

} // namespace vantrel::ui
