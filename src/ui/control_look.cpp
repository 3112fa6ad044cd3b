#include "ui/control_look.h"

#include <QStyle>
#include <QWidget>

namespace vantrel::ui {

ControlLook StyleLook(const QWidget& widget)
{
    const QString name = widget.style()->name();
    return name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0 ? ControlLook::Classic
                                                                            : ControlLook::Themed;
}

} // namespace vantrel::ui
