#include "grid/cell_hint.h"
#include "grid/column_display.h"
#include "grid/next_grid.h"
#include <QFontMetrics>
#include <QLabel>
#include <QToolTip>

namespace vantrel::grid {

namespace {

constexpr int TipMargin = 2;

bool IsBreakAfter(QChar ch)
{
    return ch == QLatin1Char('/') || ch == QLatin1Char('\\') || ch == QLatin1Char(' ');
}

// Looks like the platform's tool tip but never takes the mouse: it covers
// the cell under the pointer, which must keep receiving the moves.
QLabel* MakeTipWindow(QWidget* owner)
{
    auto* tip = new QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
    tip->setObjectName(QStringLiteral("cellHint"));
    tip->setAttribute(Qt::WA_TransparentForMouseEvents);
    tip->setAttribute(Qt::WA_ShowWithoutActivating);
    tip->setTextFormat(Qt::PlainText);
    tip->setPalette(QToolTip::palette());
    tip->setFont(QToolTip::font());
    tip->setForegroundRole(QPalette::ToolTipText);
    tip->setBackgroundRole(QPalette::ToolTipBase);
    tip->setAutoFillBackground(true);
    tip->setFrameStyle(QFrame::Box | QFrame::Plain);
    tip->setLineWidth(1);
    tip->setMargin(TipMargin);
    return tip;
}

} // namespace

TGridCellHint::~TGridCellHint() = default;

bool TGridCellHint::Showing() const
{
    return tip_ && tip_->isVisible();
}

void TGridCellHint::MouseMoved(const QPoint& pos)
{
    const int row = grid_.RowAtY(pos.y());
    const TNxCustomColumn* column = grid_.ColumnAtX(pos.x());
    if (row < 0 || !column) {
        Hide();
        return;
    }
    if (column->Index() == col_ && row == row_)
        return;
    col_ = column->Index();
    row_ = row;
    const TCell* cell = grid_.Cells().PeekCell(col_, row_);
    const bool cut = cell && column->Options().testFlag(coShowTextFitHint)
                  && column->Width() < grid_.CellTextWidth(*column, *cell) + 5;
    if (cut && grid_.isActiveWindow())
        ShowAt(col_, row_, OneLineText(column->GetDrawText(*cell)));
    else if (tip_)
        tip_->hide();
}

void TGridCellHint::Hide()
{
    col_ = -1;
    row_ = -1;
    if (tip_)
        tip_->hide();
}

void TGridCellHint::ShowAt(int ACol, int ARow, const QString& text)
{
    if (!tip_)
        tip_ = MakeTipWindow(&grid_);
    const int chrome = 2 * (tip_->lineWidth() + TipMargin);
    tip_->setText(WrapToWidth(text, QFontMetrics(tip_->font()), grid_.viewport()->width() - chrome));
    tip_->adjustSize();
    tip_->move(grid_.viewport()->mapToGlobal(grid_.CellRect(ACol, ARow).topLeft()));
    tip_->show();
    tip_->raise();
}

QString TGridCellHint::WrapToWidth(const QString& text, const QFontMetrics& metrics, int width)
{
    if (width <= 0 || metrics.horizontalAdvance(text) <= width)
        return text;
    QString wrapped;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start + 1;   // one past the line's last character
        while (end < text.size() && metrics.horizontalAdvance(text.mid(start, end - start + 1)) <= width)
            ++end;
        if (end < text.size()) {
            for (qsizetype k = end; k > start + 1; --k) {
                if (IsBreakAfter(text[k - 1])) {
                    end = k;
                    break;
                }
            }
        }
        if (!wrapped.isEmpty())
            wrapped += QLatin1Char('\n');
        wrapped += text.mid(start, end - start);
        start = end;
    }
    return wrapped;
}

} // namespace vantrel::grid
