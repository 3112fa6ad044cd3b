#pragma once
// The key field's frame and the option's box come in two looks: the style's
// own (themed) drawing, or the classic drawing the controls do themselves.
#include <optional>

class QPainter;
class QPalette;
class QRect;
class QString;
class QStyle;
class QWidget;

namespace vantrel::ui {

// The name of the style that really draws, looking through proxy styles.
QString DrawingStyleName(const QStyle& style);

enum class ControlLook { Classic, Themed };

// Themed unless the widget's style is Qt's plain "Windows" style, the one that
// stands for a desktop without visual styles. Asked at every drawing, so a
// change of style shows at the next paint.
ControlLook StyleLook(const QWidget& widget);

// A control's look: the forced one when set, otherwise the style's.
inline ControlLook EffectiveLook(const QWidget& widget, std::optional<ControlLook> forced)
{
    return forced ? *forced : StyleLook(widget);
}

// Width of the border that both framed controls keep around their client area.
inline constexpr int EdgeWidth = 2;

// The classic sunken edge, EdgeWidth pixels wide, along the inside of `rect`.
void DrawSunkenEdge(QPainter& painter, const QRect& rect, const QPalette& palette);

// The style's frame of a line edit over `rect`, as `widget` would have it.
void DrawThemedEditFrame(QPainter& painter, const QWidget& widget, const QRect& rect, bool showFocus);

} // namespace vantrel::ui
