#pragma once
// The flat tool button of the toolbar: no frame at rest, a raised edge under
// the pointer, a sunken edge while held down; its picture's lower-left colour
// is left out so the strip shows through.
#include <QAbstractButton>
#include <QPixmap>

namespace vantrel::ui {

class TSpeedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);

    // The picture; its lower-left pixel's colour becomes transparent.
    void SetGlyph(const QImage& glyph);
    const QPixmap& Glyph() const { return glyph_; }

    // Shown as this button's own tool tip.
    void SetHint(const QString& hint);

    bool IsHovered() const { return hovered_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawEdge(QPainter& painter, bool sunken) const;

    QPixmap glyph_;
    bool hovered_ = false;
};

} // namespace vantrel::ui
