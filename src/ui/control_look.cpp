#include "ui/control_look.h"

#include <QProxyStyle>
#include <QWidget>

namespace vantrel::ui {

QString DrawingStyleName(const QStyle& style)
{
    const QStyle* drawing = &style;
    while (auto* proxy = qobject_cast<const QProxyStyle*>(drawing)) {
        if (!proxy->baseStyle() || proxy->baseStyle() == proxy)
            break;
        drawing = proxy->baseStyle();
    }
    return drawing->name();
}

ControlLook StyleLook(const QWidget& widget)
{
    const QString name = DrawingStyleName(*widget.style());
    return name.compare(QLatin1String("windows"), Qt::CaseInsensitive) == 0 ? ControlLook::Classic
                                                                            : ControlLook::Themed;
}

} // namespace vantrel::ui
