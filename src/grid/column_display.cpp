#include "grid/column_display.h"
#include "grid/cells.h"
#include "grid/columns.h"
#include "grid/float_text.h"
#include "grid/grid_errors.h"
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantrel::grid {

QString OneLineText(QString text)
{
    for (QChar& ch : text)
        if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r') || ch == QChar::LineSeparator
            || ch == QChar::ParagraphSeparator)
            ch = QLatin1Char(' ');
    return text;
}

// -------------------------------------------------------------- TColumnDisplay

QRect TColumnDisplay::GetTextRect() const
{
    return context_.Rect.adjusted(2, 0, -2, 0);
}

void TColumnDisplay::DrawTextRect(const QString& text, const QRect& rect) const
{
    DrawTextAligned(text, rect, column_.Alignment(), context_.TextColor);
}

void TColumnDisplay::DrawTextAligned(const QString& text, const QRect& rect, Qt::Alignment horizontal,
                                     const QColor& color) const
{
    if (text.isEmpty() || rect.width() <= 0 || !context_.Canvas)
        return;
    QPainter& canvas = *context_.Canvas;
    canvas.setFont(context_.Font);
    canvas.setPen(color);
    const QFontMetrics metrics(context_.Font);
    const QString shown = metrics.elidedText(OneLineText(text), Qt::ElideRight, rect.width());
    // No mnemonic flag: an ampersand is drawn as itself.
    canvas.drawText(rect, static_cast<int>(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
}

int TColumnDisplay::GetContentHeight() const
{
    return QFontMetrics(context_.Font).height();
}

int TColumnDisplay::GetContentWidth() const
{
    if (!context_.Cell)
        return 0;
    // Rounded up: text is cut as soon as its fractional width exceeds the
    // room, so a column fitted to a rounded-down width would cut it.
    const qreal width = QFontMetricsF(context_.Font).horizontalAdvance(OneLineText(column_.GetDrawText(*context_.Cell)));
    return static_cast<int>(std::ceil(width));
}

// ---------------------------------------------------------- TTextColumnDisplay

void TTextColumnDisplay::Paint()
{
    if (!Context().Cell)
        return;
    DrawTextRect(Column().GetDrawText(*Context().Cell), GetTextRect());
}

// ------------------------------------------------------ TProgressColumnDisplay

TProgressColumnDisplay::TProgressColumnDisplay(const TNxProgressColumn& column)
    : TColumnDisplay(column), progress_(column)
{
}

int TProgressColumnDisplay::BarWidth(int innerWidth, double ratio)
{
    if (!(ratio > 0.0) || innerWidth <= 0)
        return 0;
    // Clamp in floating point first: huge ratios must not overflow the int.
    const double exact = std::min(static_cast<double>(innerWidth) * ratio / 100.0, static_cast<double>(innerWidth));
    return static_cast<int>(RoundHalfEven(exact));
}

double TProgressColumnDisplay::Ratio(const TNxProgressColumn& column, double value)
{
    return column.Max > 0 ? value / column.Max * 100.0 : 0.0;
}

QString TProgressColumnDisplay::PercentText(double ratio, int precision)
{
    return FixedText(ratio, precision) + QLatin1Char('%');
}

QColor TProgressColumnDisplay::Blend(const QColor& a, const QColor& b, double t)
{
    auto channel = [t](int from, int to) {
        return static_cast<int>(RoundHalfEven(from * (1.0 - t) + to * t));
    };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

QColor TProgressColumnDisplay::BarColor(double value) const
{
    const QColor highlight = Context().Colors->Highlight;
    if (progress_.LowValueBound != 0 || progress_.HighValueBound != 0) {
        if (value >= progress_.HighValueBound)
            return OrDefault(progress_.HighValueColor, highlight);
        if (value <= progress_.LowValueBound)
            return OrDefault(progress_.LowValueColor, QColor(0, 0, 0));
    }
    return OrDefault(progress_.ProgressColor, highlight);
}

void TProgressColumnDisplay::DrawBox(const QRect& box, const QColor& fill) const
{
    QPainter& canvas = *Context().Canvas;
    if (!progress_.Transparent)
        canvas.fillRect(box, fill);
    canvas.setPen(QPen(progress_.BorderColor, 0));
    canvas.setBrush(Qt::NoBrush);
    const QRect outline = box.adjusted(0, 0, -1, -1);
    if (progress_.RoundCorners)
        canvas.drawRoundedRect(outline, 4, 4);
    else
        canvas.drawRect(outline);
}

void TProgressColumnDisplay::DrawBar(const QRect& bar, int fullWidth, const QColor& from, const QColor& to) const
{
    QPainter& canvas = *Context().Canvas;
    if (progress_.ProgressStyle != psGradient) {
        canvas.fillRect(bar, to);
        return;
    }
    // One vertical line per pixel column, stretched over the full bar width.
    for (int x = bar.left(); x <= bar.right(); ++x) {
        const double t = static_cast<double>(x - bar.left()) / fullWidth;
        canvas.fillRect(QRect(x, bar.top(), 1, bar.height()), Blend(from, to, t));
    }
}

void TProgressColumnDisplay::Paint()
{
    const TCellPaintContext& ctx = Context();
    if (!ctx.Cell || !ctx.Canvas)
        return;
    double value = 0.0;
    try {
        value = ctx.Cell->GetAsFloat();
    } catch (const EGridError&) {
        value = 0.0;   // a cell that holds no number draws as empty progress
    }
    if (progress_.HideWhenEmpty && value == progress_.EmptyValue)
        return;
    const double ratio = Ratio(progress_, value);

    QRect box = ctx.Rect.adjusted(progress_.Margin, progress_.Margin, -progress_.Margin, -progress_.Margin);
    if (progress_.ProgressHeight > 0 && progress_.ProgressHeight < box.height()) {
        const int spare = box.height() - progress_.ProgressHeight;
        const int top = Column().VerticalAlignment() == taAlignTop ? 0
                      : Column().VerticalAlignment() == taAlignBottom ? spare
                                                                      : spare / 2;
        box = QRect(box.left(), box.top() + top, box.width(), progress_.ProgressHeight);
    }
    if (progress_.ShowText && progress_.TextPosition == tpBeside)
        box.setLeft(box.left() + 30);
    if (box.width() <= 0 || box.height() <= 0)
        return;

    const QColor columnColor = OrDefault(Column().Color(), ctx.Colors->Window);
    DrawBox(box, columnColor);

    const QRect inner = box.adjusted(2, 2, -2, -2);
    const int width = BarWidth(inner.width(), ratio);
    if (width > 0 && inner.height() > 0) {
        const int exact = static_cast<int>(RoundHalfEven(std::min(inner.width() * ratio / 100.0, 1e9)));
        DrawBar(QRect(inner.left(), inner.top(), width, inner.height()), std::max(width, exact), columnColor,
                BarColor(value));
    }

    if (!progress_.ShowText)
        return;
    const QColor textColor = OrDefault(Column().FontColor(), ctx.Colors->WindowText);
    const QString text = PercentText(ratio, progress_.Precision);
    if (progress_.TextPosition == tpInside)
        DrawTextAligned(text, GetTextRect(), Column().Alignment(), textColor);
    else
        DrawTextAligned(text, QRect(ctx.Rect.left(), ctx.Rect.top(), 30, ctx.Rect.height()), Qt::AlignHCenter,
                        textColor);
}

} // namespace vantrel::grid
