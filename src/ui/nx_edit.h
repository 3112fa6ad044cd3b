#pragma once
// The key field: a single-line edit that shows "*" for every character, with
// a sunken edge, and a strip along its left side where the pointer turns into
// a reversed arrow and a press selects the whole text.
#include "ui/control_look.h"

#include <QLineEdit>
#include <optional>

namespace vantrel::ui {

class TNxEdit : public QLineEdit {
    Q_OBJECT
public:
    // Width of the sunken edge around the client area.
    static constexpr int EdgeWidth = ui::EdgeWidth;
    // Pixel columns of the client area, from its left side, that select all.
    static constexpr int SelectAllColumns = 3;

    explicit TNxEdit(QWidget* parent = nullptr);

    // The client area: the widget without its edge.
    QRect ClientRect() const;
    // Whether a point in widget coordinates lies in the select-all strip.
    bool InSelectAllStrip(QPoint pos) const;

    // Forces one look; by default it follows the style at every paint.
    void SetLook(std::optional<ControlLook> look);

    // The pointer shown over the select-all strip.
    static const QCursor& ReversedArrowCursor();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DrawEdge(QPainter& painter) const;
    void UpdatePointer(QPoint pos);

    std::optional<ControlLook> look_;
    bool selectedAllByPress_ = false;
};

} // namespace vantrel::ui
