#include "ui/hint.h"

#include <QProxyStyle>
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

void SetHint(QWidget& widget, const QString& hint)
{
    widget.setToolTip(hint);
    widget.setToolTipDuration(HintHidePauseMs);
}

} // namespace vantrel::ui
