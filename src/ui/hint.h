#pragma once
// Tool tips of the window's controls, all on one timing, as the classic hint
// window had it: a fixed pause before the first tip and a fixed time on
// screen, instead of Qt's pause of the style and time that grows with the text.
//
// The pause is the application's: Qt asks the style of the widget under the
// pointer, so the application's style is a hint style, and a control with a
// style of its own passes the question on to the application's. The time on
// screen belongs to each tip: every control gets its hint through SetHint.
class QString;
class QStyle;
class QWidget;

namespace vantrel::ui {

// How long a hint stays up once shown.
inline constexpr int HintHidePauseMs = 2500;
// How long the pointer rests before the first hint appears.
inline constexpr int HintPauseMs = 500;

// Gives `widget` its hint, shown as its own tool tip for HintHidePauseMs.
void SetHint(QWidget& widget, const QString& hint);

// Wraps a style so that tool tips wake up after HintPauseMs; the application
// installs it once. Takes ownership of `base`.
QStyle* CreateHintStyle(QStyle* base);

} // namespace vantrel::ui
