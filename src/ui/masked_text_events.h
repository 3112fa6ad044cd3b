#pragma once
// Qt's line edit tells assistive tools every character typed into it, also
// in password mode, so anything listening on the desktop's accessibility bus
// would read the key as it is typed. Once the masking is installed, the text
// events of every masked line edit are passed on with each character
// replaced by the mask, the way the field shows them, whatever brought the
// change about: typing, pasting from the field's menu, or the program itself.
#include <QString>

class QLineEdit;

namespace vantrel::ui {

// `length` mask characters of the field; nothing for a field that shows nothing.
QString MaskFor(const QLineEdit& field, qsizetype length);

// Puts the masking in front of whatever receives the events at the first
// call (the desktop, or a tool's own handler) for the rest of the program's
// life; later calls change nothing.
void InstallTextEventMasking();

} // namespace vantrel::ui
