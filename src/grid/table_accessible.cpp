#include "grid/table_accessible.h"

#include "grid/column_display.h"
#include "grid/grid_errors.h"
#include "grid/next_grid.h"
#include "grid/table_accessible_events.h"

#include <QScrollBar>

namespace vantrel::grid {

namespace {

QRect ToGlobal(const TNextGrid& grid, const QRect& viewportRect)
{
    if (viewportRect.isEmpty())
        return {};
    return QRect(grid.viewport()->mapToGlobal(viewportRect.topLeft()), viewportRect.size());
}

// Shared by cells and headers: both belong to one column of one grid and
// have no QObject of their own.
class TGridPartAccessible : public QAccessibleInterface {
public:
    TGridPartAccessible(TNextGrid& grid, int index) : grid_(&grid), index_(index) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return grid_ ? QAccessible::queryAccessibleInterface(grid_) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    TNextGridAccessible* Table() const { return dynamic_cast<TNextGridAccessible*>(parent()); }
    // The column while it is shown; nullptr once hidden or gone.
    TNxCustomColumn* ShownColumn() const
    {
        if (!grid_ || index_ < 0 || index_ >= grid_->Columns().Count())
            return nullptr;
        TNxCustomColumn& column = grid_->Columns().Item(index_);
        return column.Visible() ? &column : nullptr;
    }

    QPointer<TNextGrid> grid_;
    int index_;
};

class THeaderAccessible final : public TGridPartAccessible {
public:
    using TGridPartAccessible::TGridPartAccessible;

    bool isValid() const override { return ShownColumn() != nullptr; }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QString text(QAccessible::Text t) const override
    {
        const TNxCustomColumn* column = ShownColumn();
        return column && t == QAccessible::Name ? column->Header().Caption : QString();
    }
    QRect rect() const override
    {
        const TNxCustomColumn* column = ShownColumn();
        return column ? ToGlobal(*grid_, grid_->HeaderRect(*column)) : QRect();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid() || grid_->HeaderHeight() == 0)
            s.invisible = true;
        return s;
    }
};

class TCellAccessible final : public TGridPartAccessible,
                              public QAccessibleTableCellInterface,
                              public QAccessibleValueInterface {
public:
    TCellAccessible(TNextGrid& grid, int row, int index) : TGridPartAccessible(grid, index), row_(row) {}

    bool isValid() const override { return Cell() != nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QString text(QAccessible::Text t) const override
    {
        const TCell* cell = Cell();
        if (!cell)
            return {};
        // The cell's own tool tip (a failure's reason, say) is read after its text.
        if (t == QAccessible::Description)
            return cell->Hint();
        if (t != QAccessible::Name && t != QAccessible::Value)
            return {};
        return AccessibleCellText(*ShownColumn(), *cell);
    }
    QRect rect() const override { return isValid() ? ToGlobal(*grid_, grid_->CellRect(index_, row_)) : QRect(); }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        if (s.selected && grid_->hasFocus()) {
            const TNextGridAccessible* table = Table();
            s.focused = table && table->SelectedCell() == this;
        }
        if (rect().isEmpty())
            s.offscreen = true;
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ValueInterface && Progress())
            return static_cast<QAccessibleValueInterface*>(this);
        return nullptr;
    }

    // --- QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        const TNextGridAccessible* table = Table();
        QAccessibleInterface* header = table && isValid() ? table->HeaderByIndex(index_) : nullptr;
        return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        const TNxCustomColumn* column = ShownColumn();
        const TNextGridAccessible* table = Table();
        return column && table ? table->ScreenColumn(*column) : -1;
    }
    int rowIndex() const override { return row_; }
    bool isSelected() const override { return isValid() && grid_->GetSelectedRow() == row_; }
    QAccessibleInterface* table() const override { return parent(); }

    // --- QAccessibleValueInterface, for progress cells: 0 to the column's Max
    QVariant currentValue() const override
    {
        const TCell* cell = Cell();
        try {
            return cell ? cell->GetAsFloat() : 0.0;
        } catch (const EGridError&) {
            return 0.0;
        }
    }
    void setCurrentValue(const QVariant&) override {}   // read-only table
    QVariant maximumValue() const override
    {
        const TNxProgressColumn* progress = Progress();
        return progress ? double(progress->Max) : 0.0;
    }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    const TCell* Cell() const
    {
        if (!ShownColumn() || row_ >= grid_->GetRowCount())
            return nullptr;
        return grid_->Cells().PeekCell(index_, row_);
    }
    const TNxProgressColumn* Progress() const { return dynamic_cast<const TNxProgressColumn*>(ShownColumn()); }

    int row_;
};

} // namespace

QString AccessibleCellText(const TNxCustomColumn& column, const TCell& cell)
{
    if (const auto* progress = dynamic_cast<const TNxProgressColumn*>(&column)) {
        double value = 0.0;
        try {
            value = cell.GetAsFloat();
        } catch (const EGridError&) {
            value = 0.0;   // drawn as an empty bar
        }
        return TProgressColumnDisplay::PercentText(TProgressColumnDisplay::Ratio(*progress, value),
                                                   progress->Precision);
    }
    return column.GetDrawText(cell);
}

QAccessibleInterface* NextGridAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(TNextGrid::staticMetaObject.className()) && object && object->isWidgetType())
        return new TNextGridAccessible(static_cast<TNextGrid*>(object));
    return nullptr;
}

TNextGridAccessible::TNextGridAccessible(TNextGrid* grid)
    : QAccessibleWidget(grid, QAccessible::Table)
    , events_(std::make_unique<TTableAccessibleEvents>(*grid, *this))
{
}

TNextGridAccessible::~TNextGridAccessible()
{
    ForgetChildren();
}

TNextGrid& TNextGridAccessible::Grid() const
{
    return *static_cast<TNextGrid*>(widget());
}

void* TNextGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TNextGridAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        return Grid().accessibleName().isEmpty() ? Grid().toolTip() : Grid().accessibleName();
    case QAccessible::Description:
        return Grid().accessibleDescription();   // the hint is the name already
    default:
        return QAccessibleWidget::text(t);
    }
}

int TNextGridAccessible::columnCount() const
{
    return static_cast<int>(Grid().Columns().VisibleInPositionOrder().size());
}

int TNextGridAccessible::rowCount() const
{
    return Grid().GetRowCount();
}

int TNextGridAccessible::childCount() const
{
    return columnCount() * (rowCount() + 1);
}

QAccessibleInterface* TNextGridAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0)
        return nullptr;
    if (index < columns)
        return HeaderByIndex(VisibleColumn(index)->Index());
    return cellAt(index / columns - 1, index % columns);
}

int TNextGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || child->parent() != this)
        return -1;
    auto* self = const_cast<TNextGridAccessible*>(this);
    auto* iface = const_cast<QAccessibleInterface*>(child);
    if (child->role() == QAccessible::ColumnHeader) {
        for (int column = 0; column < columnCount(); ++column)
            if (self->child(column) == iface)
                return column;
        return -1;
    }
    if (auto* cell = iface->tableCellInterface()) {
        if (cell->columnIndex() < 0)
            return -1;
        return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
    }
    return -1;
}

QAccessibleInterface* TNextGridAccessible::childAt(int x, int y) const
{
    const TNextGrid& grid = Grid();
    const QPoint local = grid.viewport()->mapFromGlobal(QPoint(x, y));
    if (!grid.viewport()->rect().contains(local))
        return nullptr;
    const TNxCustomColumn* column = grid.ColumnAtX(local.x());
    if (!column)
        return nullptr;
    if (local.y() < grid.HeaderHeight())
        return HeaderByIndex(column->Index());
    const int row = grid.RowAtY(local.y());
    return row >= 0 ? CellByIndex(row, column->Index()) : nullptr;
}

QAccessibleInterface* TNextGridAccessible::focusChild() const
{
    return Grid().hasFocus() ? SelectedCell() : nullptr;
}

QAccessibleInterface* TNextGridAccessible::cellAt(int row, int column) const
{
    const TNxCustomColumn* shown = VisibleColumn(column);
    return shown ? CellByIndex(row, shown->Index()) : nullptr;
}

QString TNextGridAccessible::columnDescription(int column) const
{
    const TNxCustomColumn* shown = VisibleColumn(column);
    return shown ? shown->Header().Caption : QString();
}

int TNextGridAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

int TNextGridAccessible::selectedRowCount() const
{
    return Grid().GetSelectedRow() >= 0 ? 1 : 0;
}

QList<QAccessibleInterface*> TNextGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    const int row = Grid().GetSelectedRow();
    if (row < 0)
        return cells;
    for (int column = 0; column < columnCount(); ++column)
        if (QAccessibleInterface* cell = cellAt(row, column))
            cells.append(cell);
    return cells;
}

QList<int> TNextGridAccessible::selectedRows() const
{
    const int row = Grid().GetSelectedRow();
    return row >= 0 ? QList<int>{row} : QList<int>{};
}

bool TNextGridAccessible::isRowSelected(int row) const
{
    return row >= 0 && Grid().GetSelectedRow() == row;
}

bool TNextGridAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount())
        return false;
    Grid().SetSelectedRow(row);
    return Grid().GetSelectedRow() == row;
}

TNxCustomColumn* TNextGridAccessible::VisibleColumn(int column) const
{
    const std::vector<TNxCustomColumn*> shown = Grid().Columns().VisibleInPositionOrder();
    if (column < 0 || column >= static_cast<int>(shown.size()))
        return nullptr;
    return shown[static_cast<size_t>(column)];
}

int TNextGridAccessible::ScreenColumn(const TNxCustomColumn& column) const
{
    const std::vector<TNxCustomColumn*> shown = Grid().Columns().VisibleInPositionOrder();
    for (size_t place = 0; place < shown.size(); ++place)
        if (shown[place] == &column)
            return static_cast<int>(place);
    return -1;
}

QAccessibleInterface* TNextGridAccessible::CellByIndex(int row, int index) const
{
    TNextGrid& grid = Grid();
    if (row < 0 || row >= grid.GetRowCount() || index < 0 || index >= grid.Columns().Count()
        || !grid.Columns().Item(index).Visible())
        return nullptr;
    const auto key = std::make_pair(row, index);
    if (const auto known = cells_.find(key); known != cells_.end())
        if (QAccessibleInterface* cell = QAccessible::accessibleInterface(known->second))
            return cell;
    auto* cell = new TCellAccessible(grid, row, index);
    cells_[key] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

QAccessibleInterface* TNextGridAccessible::HeaderByIndex(int index) const
{
    TNextGrid& grid = Grid();
    if (index < 0 || index >= grid.Columns().Count() || !grid.Columns().Item(index).Visible())
        return nullptr;
    if (const auto known = headers_.find(index); known != headers_.end())
        if (QAccessibleInterface* header = QAccessible::accessibleInterface(known->second))
            return header;
    auto* header = new THeaderAccessible(grid, index);
    headers_[index] = QAccessible::registerAccessibleInterface(header);
    return header;
}

QAccessibleInterface* TNextGridAccessible::SelectedCell() const
{
    const TNextGrid& grid = Grid();
    const int row = grid.GetSelectedRow();
    if (row < 0)
        return nullptr;
    const int index = grid.GetSelectedColumn();
    if (index >= 0 && index < grid.Columns().Count() && grid.Columns().Item(index).Visible())
        return CellByIndex(row, index);
    return cellAt(row, 0);
}

void TNextGridAccessible::ForgetChildren()
{
    for (const auto& [key, id] : cells_)
        QAccessible::deleteAccessibleInterface(id);
    for (const auto& [key, id] : headers_)
        QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
    headers_.clear();
}

void TNextGridAccessible::ForgetRowsFrom(int first)
{
    for (auto it = cells_.lower_bound(std::make_pair(first, -1)); it != cells_.end(); it = cells_.erase(it))
        QAccessible::deleteAccessibleInterface(it->second);
}

} // namespace vantrel::grid
