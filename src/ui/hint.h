#pragma once
// Tool tips of the toolbar controls: shown for a fixed time, as the classic
// hint window did, instead of a time that grows with the text.
class QHelpEvent;
class QStyle;
class QWidget;

namespace vantrel::ui {

// How long a hint stays up once shown.
inline constexpr int HintHidePauseMs = 2500;
// How long the pointer rests before the first hint appears.
inline constexpr int HintPauseMs = 500;

// Shows `widget`'s tool tip for the help event; returns whether it handled it.
bool ShowHint(QWidget& widget, const QHelpEvent& event);

// Wraps a style so that tool tips wake up after HintPauseMs; the application
// installs it once. Takes ownership of `base`.
QStyle* CreateHintStyle(QStyle* base);

} // namespace vantrel::ui
