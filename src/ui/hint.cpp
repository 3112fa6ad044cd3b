#include "ui/hint.h"

#include <QHelpEvent>
#include <QProxyStyle>
#include <QToolTip>
#include <QWidget>

namespace vantrel::ui {

namespace {
class HintStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return HintPauseMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

QStyle* CreateHintStyle(QStyle* base)
{
    return new HintStyle(base);
}

bool ShowHint(QWidget& widget, const QHelpEvent& event)
{
    if (widget.toolTip().isEmpty())
        return false;
    QToolTip::showText(event.globalPos(), widget.toolTip(), &widget, QRect(), HintHidePauseMs);
    return true;
}

} // namespace vantrel::ui
