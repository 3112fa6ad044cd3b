#include "grid/table_accessible_events.h"

#include "grid/next_grid.h"
#include "grid/table_accessible.h"

#include <QAccessible>
#include <QEvent>

namespace vantrel::grid {

bool TProgressThrottle::Offer(int row, const QString& text, bool atEnd, qint64 nowMs)
{
    auto [state, isNew] = rows_.try_emplace(row);
    if (!isNew && text == state->second.told) {
        state->second.pending = false;
        return false;
    }
    if (!isNew && !atEnd && nowMs - state->second.toldAtMs < intervalMs_) {
        state->second.pending = true;
        return false;
    }
    state->second = {text, nowMs, false};
    return true;
}

bool TProgressThrottle::TakePending(int row)
{
    const auto state = rows_.find(row);
    if (state == rows_.end() || !state->second.pending)
        return false;
    state->second.pending = false;
    return true;
}

TTableAccessibleEvents::TTableAccessibleEvents(TNextGrid& grid, TNextGridAccessible& table)
    : grid_(grid)
    , table_(table)
    , knownRows_(grid.GetRowCount())
{
    clock_.start();
    // Removed rows are told before the row count changes, so the count
    // check below never mistakes a removal for a new order.
    connect(&grid, &TNextGrid::OnRowsDeleted, this, &TTableAccessibleEvents::RowsRemoved);
    connect(&grid, &TNextGrid::OnDataChange, this, &TTableAccessibleEvents::RowCountChanged);
    connect(&grid, &TNextGrid::OnAfterSort, this, &TTableAccessibleEvents::Reset);
    connect(&grid, &TNextGrid::OnColumnMove, this, &TTableAccessibleEvents::Reset);
    connect(&grid, &TNextGrid::OnColumnVisibleChange, this, &TTableAccessibleEvents::Reset);
    connect(&grid, &TNextGrid::OnSelectCell, this, &TTableAccessibleEvents::SelectionChanged);
    connect(&grid, &TNextGrid::OnChange, this, &TTableAccessibleEvents::CellChanged);
    grid.installEventFilter(this);
}

void TTableAccessibleEvents::RowCountChanged()
{
    const int rows = grid_.GetRowCount();
    if (rows == knownRows_)
        return;
    if (rows < knownRows_) {
        Reset();
        return;
    }
    const int first = knownRows_;
    knownRows_ = rows;
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(&grid_, QAccessibleTableModelChangeEvent::RowsInserted);
    event.setFirstRow(first);
    event.setLastRow(rows - 1);
    event.setFirstColumn(0);
    event.setLastColumn(table_.columnCount() - 1);
    QAccessible::updateAccessibility(&event);
}

void TTableAccessibleEvents::RowsRemoved(int first, int count)
{
    knownRows_ = grid_.GetRowCount();
    table_.ForgetRowsFrom(first);
    throttle_.Clear();
    if (count < 1 || !QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(&grid_, QAccessibleTableModelChangeEvent::RowsRemoved);
    event.setFirstRow(first);
    event.setLastRow(first + count - 1);
    event.setFirstColumn(0);
    event.setLastColumn(table_.columnCount() - 1);
    QAccessible::updateAccessibility(&event);
}

void TTableAccessibleEvents::Reset()
{
    // Cells are remembered by row and column: after a new order, or with a
    // column gone, the old objects would name other files.
    knownRows_ = grid_.GetRowCount();
    table_.ForgetChildren();
    throttle_.Clear();
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(&grid_, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void TTableAccessibleEvents::SelectionChanged(int ACol, int ARow)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* cell = table_.CellByIndex(ARow, ACol);
    if (!cell)
        cell = table_.SelectedCell();
    if (!cell)
        return;
    if (grid_.hasFocus()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
    QAccessibleEvent selection(cell, QAccessible::Selection);
    QAccessible::updateAccessibility(&selection);
}

void TTableAccessibleEvents::CellChanged(int ACol, int ARow)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* cell = table_.CellByIndex(ARow, ACol);
    if (!cell)
        return;
    const TNxCustomColumn& column = grid_.Columns().Item(ACol);
    if (const auto* progress = dynamic_cast<const TNxProgressColumn*>(&column)) {
        const double value = cell->valueInterface()->currentValue().toDouble();
        const bool atEnd = value <= 0.0 || value >= progress->Max;
        if (throttle_.Offer(ARow, cell->text(QAccessible::Name), atEnd, clock_.elapsed()))
            TellProgress(*cell);
        return;
    }
    // A status that follows the last bar change of a file comes after it.
    if (throttle_.TakePending(ARow)) {
        for (const TNxCustomColumn* shown : grid_.Columns().VisibleInPositionOrder())
            if (dynamic_cast<const TNxProgressColumn*>(shown))
                if (QAccessibleInterface* progress = table_.CellByIndex(ARow, shown->Index()))
                    TellProgress(*progress);
    }
    TellName(*cell);
}

void TTableAccessibleEvents::TellProgress(QAccessibleInterface& cell)
{
    TellName(cell);
    QAccessibleValueChangeEvent value(&cell, cell.valueInterface()->currentValue());
    QAccessible::updateAccessibility(&value);
}

void TTableAccessibleEvents::TellName(QAccessibleInterface& cell)
{
    QAccessibleEvent name(&cell, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&name);
}

bool TTableAccessibleEvents::eventFilter(QObject* watched, QEvent* event)
{
    // The window tells tools that the grid took the focus once this event is
    // handled; the selected cell's focus must come after that.
    if (watched == &grid_ && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(this, &TTableAccessibleEvents::TellFocus, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void TTableAccessibleEvents::TellFocus()
{
    if (!QAccessible::isActive() || !grid_.hasFocus())
        return;
    if (QAccessibleInterface* cell = table_.SelectedCell()) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace vantrel::grid
