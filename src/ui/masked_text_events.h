#pragma once
// Qt's line edit tells assistive tools every character typed into it, also
// in password mode, so anything listening on the desktop's accessibility bus
// would read the key as it is typed. While a guard lives, the text events of
// every masked line edit are passed on with each character replaced by the
// mask, the way the field shows them.
#include <QString>

class QLineEdit;

namespace vantrel::ui {

// `length` mask characters of the field; nothing for a field that shows nothing.
QString MaskFor(const QLineEdit& field, qsizetype length);

class MaskedTextEvents {
public:
    MaskedTextEvents();
    ~MaskedTextEvents();
    MaskedTextEvents(const MaskedTextEvents&) = delete;
    MaskedTextEvents& operator=(const MaskedTextEvents&) = delete;

private:
    // A guard inside another one leaves the outer one in charge.
    bool installed_ = false;
};

} // namespace vantrel::ui
