#include "ui/control_look.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionFrame>
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

void DrawSunkenEdge(QPainter& painter, const QRect& rect, const QPalette& palette)
{
    // Shadow over dark shadow at the top left, highlight over face at the
    // bottom right.
    auto frame = [&](QRect box, QColor topLeft, QColor bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    frame(rect, palette.color(QPalette::Dark), palette.color(QPalette::Light));
    frame(rect.adjusted(1, 1, -1, -1), palette.color(QPalette::Shadow), palette.color(QPalette::Button));
}

void DrawThemedEditFrame(QPainter& painter, const QWidget& widget, const QRect& rect, bool showFocus)
{
    QStyleOptionFrame option;
    option.initFrom(&widget);
    option.rect = rect;
    option.lineWidth = widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &widget);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    if (!showFocus)
        option.state &= ~QStyle::State_HasFocus;
    widget.style()->drawPrimitive(QStyle::PE_FrameLineEdit, &option, &painter, &widget);
}

} // namespace vantrel::ui
