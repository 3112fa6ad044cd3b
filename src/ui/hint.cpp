#include "ui/hint.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace vantrel::ui {

bool ShowHint(QWidget& widget, const QHelpEvent& event)
{
    if (widget.toolTip().isEmpty())
        return false;
    QToolTip::showText(event.globalPos(), widget.toolTip(), &widget, QRect(), HintHidePauseMs);
    return true;
}

} // namespace vantrel::ui
