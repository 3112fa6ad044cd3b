// Mouse, keyboard and wheel input of TNextGrid. Selection moves by whole
// rows; scrolling never changes the selection.
#include "grid/cell_hint.h"
#include "grid/header_mouse.h"
#include "grid/next_grid.h"
#include <QContextMenuEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

namespace vantrel::grid {

void TNextGrid::mousePressEvent(QMouseEvent* e)
{
    cellHint_->Hide();
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    if ((e->button() != Qt::LeftButton && e->button() != Qt::RightButton) || columns_.Count() == 0)
        return;
    const QPoint pos = e->position().toPoint();
    if (pos.y() < HeaderHeight()) {
        if (e->button() == Qt::LeftButton && headerInteraction_)
            headerMouse_->Press(*e);
        return;
    }
    const int row = RowAtY(pos.y());
    if (row < 0)
        return;   // below the last row: the selection stays
    const TNxCustomColumn* column = ColumnAtX(pos.x());
    const int col = column ? column->Index() : selectedCol_;
    SelectCell(col, row);
    const int bottom = RowTop(row) + rowSize_;
    if (bottom > viewport()->height())
        ScrollRowIntoView(row);
    if (column)
        emit OnCellClick(col, row);
}

void TNextGrid::mouseMoveEvent(QMouseEvent* e)
{
    if (headerInteraction_ && headerMouse_->Move(*e))
        return;
    cellHint_->MouseMoved(e->position().toPoint());
}

void TNextGrid::mouseReleaseEvent(QMouseEvent* e)
{
    headerMouse_->Release(*e);
}

void TNextGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (focusPolicy() & Qt::ClickFocus)
        setFocus(Qt::MouseFocusReason);
    if (e->button() != Qt::LeftButton)
        return;
    emit OnDblClick();
    const QPoint pos = e->position().toPoint();
    if (pos.y() < HeaderHeight()) {
        if (headerInteraction_)
            headerMouse_->DoubleClick(*e);
        return;
    }
    const int row = RowAtY(pos.y());
    const TNxCustomColumn* column = ColumnAtX(pos.x());
    if (row >= 0 && column)
        emit OnCellDblClick(column->Index(), row);
}

void TNextGrid::HeaderClicked(int ACol)
{
    emit OnHeaderClick(ACol);
}

void TNextGrid::HeaderDoubleClicked(int ACol)
{
    emit OnHeaderDblClick(ACol);
}

void TNextGrid::ColumnMoved(int ACol, int OldPos, int NewPos)
{
    emit OnColumnMove(ACol, OldPos, NewPos);
}

void TNextGrid::ColumnResized(int ACol)
{
    emit OnColumnResize(ACol);
}

void TNextGrid::SelectRowByKey(int ARow)
{
    SelectCell(selectedCol_, ARow);
}

void TNextGrid::keyPressEvent(QKeyEvent* e)
{
    if (options_.testFlag(goDisableKeys)) {
        e->ignore();
        return;
    }
    const int count = cells_.RowCount();
    const int selected = selectedRow_;
    switch (e->key()) {
    case Qt::Key_Down:
        if (selected >= 0 && selected < count - 1) {
            SelectRowByKey(selected + 1);
            if (selected + 1 > FirstRowInView() + WhollyVisibleRowCount() - 1)
                ScrollRowIntoView(selected + 1);
        }
        break;
    case Qt::Key_Up:
        if (selected > 0) {
            SelectRowByKey(selected - 1);
            // One row up, even when the wheel or the bar left the selection
            // far above the view: Up is a small step, not a jump.
            if (selected - 1 < FirstRowInView())
                SetFirstRowInView(FirstRowInView() - 1);
        }
        break;
    case Qt::Key_PageUp:
        PageUp();
        break;
    case Qt::Key_PageDown:
        PageDown();
        break;
    case Qt::Key_Home:
        if (count > 0) {
            SelectRowByKey(0);
            SetFirstRowInView(0);
        }
        break;
    case Qt::Key_End:
        if (count > 0) {
            SelectRowByKey(count - 1);
            SetFirstRowInView(verticalScrollBar()->maximum());
        }
        break;
    case Qt::Key_Left:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Menu:
        RequestRowMenuFromKeyboard();
        break;
    case Qt::Key_F10:
        if (e->modifiers() != Qt::ShiftModifier) {
            e->ignore();
            return;
        }
        RequestRowMenuFromKeyboard();
        break;
    default:
        e->ignore();   // characters: read-only, no search column
        return;
    }
    e->accept();
}

void TNextGrid::PageUp()
{
    if (cells_.RowCount() == 0)
        return;
    if (verticalScrollBar()->value() <= verticalScrollBar()->minimum()) {
        SelectRowByKey(0);
        return;
    }
    const int first = FirstRowInView();
    if (selectedRow_ > first) {
        SelectRowByKey(first);
        return;
    }
    if (selectedRow_ < 0)
        return;
    const int target = std::max(0, selectedRow_ - std::max(1, WhollyVisibleRowCount()));
    SelectRowByKey(target);
    ScrollRowIntoView(target);
}

void TNextGrid::PageDown()
{
    const int count = cells_.RowCount();
    if (count == 0)
        return;
    // At the end of the range (also when everything fits) Page Down goes to
    // the last row, as Page Up goes to the first row at the top.
    if (verticalScrollBar()->value() >= verticalScrollBar()->maximum()) {
        SelectRowByKey(count - 1);
        return;
    }
    const int page = std::max(1, WhollyVisibleRowCount());
    const int lastWhollyVisible = std::min(count - 1, FirstRowInView() + page - 1);
    int target;
    if (selectedRow_ < lastWhollyVisible)
        target = lastWhollyVisible;
    else if (count - 1 - selectedRow_ < page)
        target = count - 1;
    else
        target = selectedRow_ + page;
    SelectRowByKey(target);
    ScrollRowIntoView(target);
}

void TNextGrid::RequestRowMenuFromKeyboard()
{
    QPoint at(0, HeaderHeight());
    if (selectedRow_ >= 0) {
        ScrollRowIntoView(selectedRow_);
        at.setY(std::min(RowTop(selectedRow_) + rowSize_, viewport()->height() - 1));
    }
    emit OnRowContextMenu(selectedRow_, viewport()->mapToGlobal(at));
}

void TNextGrid::contextMenuEvent(QContextMenuEvent* e)
{
    // Reaches the control itself from the keyboard; a mouse request over the
    // body comes through viewportEvent, and the frame has no menu.
    if (e->reason() == QContextMenuEvent::Keyboard)
        RequestRowMenuFromKeyboard();
    e->accept();
}

void TNextGrid::wheelEvent(QWheelEvent* e)
{
    if (!wheelEnabled_) {
        e->ignore();
        return;
    }
    e->accept();
    wheelRemainder_ += e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ %= QWheelEvent::DefaultDeltasPerStep;
    if (notches == 0)
        return;
    QScrollBar* vertical = verticalScrollBar();
    if (vertical->maximum() > vertical->minimum()) {
        const int step = e->modifiers().testFlag(Qt::ControlModifier) ? std::max(1, WhollyVisibleRowCount()) : 1;
        vertical->setValue(vertical->value() - notches * step);
        return;
    }
    QScrollBar* horizontal = horizontalScrollBar();
    if (horizontal->maximum() > horizontal->minimum())
        horizontal->setValue(horizontal->value() - notches * horizontal->singleStep());
}

bool TNextGrid::viewportEvent(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Leave:
        // Mapping the tip over the cell can report a leave while the pointer
        // has not moved; only really leaving the body hides the tip.
        if (!viewport()->rect().contains(viewport()->mapFromGlobal(QCursor::pos())))
            cellHint_->Hide();
        break;
    case QEvent::ContextMenu: {
        auto* request = static_cast<QContextMenuEvent*>(e);
        if (request->reason() == QContextMenuEvent::Keyboard)
            RequestRowMenuFromKeyboard();
        else if (request->pos().y() >= HeaderHeight())
            emit OnRowContextMenu(RowAtY(request->pos().y()), request->globalPos());
        e->accept();   // the header keeps its right button doing nothing
        return true;
    }
    case QEvent::ToolTip:
        // Over a cut cell its own tip is up; the control's hint would replace it.
        if (cellHint_->Showing()) {
            e->accept();
            return true;
        }
        if (ShowCellHintText(static_cast<QHelpEvent*>(e)))
            return true;
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

bool TNextGrid::ShowCellHintText(QHelpEvent* e)
{
    const int row = RowAtY(e->pos().y());
    const TNxCustomColumn* column = ColumnAtX(e->pos().x());
    const TCell* cell = row >= 0 && column ? cells_.PeekCell(column->Index(), row) : nullptr;
    if (!cell || cell->Hint().isEmpty())
        return false;
    // Shown until the pointer leaves the cell.
    QToolTip::showText(e->globalPos(), cell->Hint(), viewport(), CellRect(column->Index(), row));
    e->accept();
    return true;
}

void TNextGrid::focusInEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusInEvent(e);
    RefreshRow(selectedRow_);
}

void TNextGrid::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    headerMouse_->Cancel();
    RefreshRow(selectedRow_);
}

} // namespace vantrel::grid
