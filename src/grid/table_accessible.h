#pragma once
// What assistive tools see of the grid: a table whose columns are the visible
// ones in screen order, headed by their captions, with one row per row of the
// grid in its current order and each cell named by the text it is drawn with.
//
// Children are the column headers first, then the cells row by row. Cells are
// remembered as the grid addresses them, by row and column Index, and their
// screen column is worked out at every query, so moving a column needs no new
// objects. Cell and header interfaces are made on demand and kept, so that a
// tool sees the same object each time it asks, until the rows are reordered
// or a column is shown or hidden.
#include <QAccessibleWidget>
#include <QPointer>
#include <map>
#include <memory>
#include <utility>

namespace vantrel::grid {

class TCell;
class TNextGrid;
class TNxCustomColumn;
class TTableAccessibleEvents;

// For QAccessible::installFactory: the interface of a TNextGrid.
QAccessibleInterface* NextGridAccessibleFactory(const QString& className, QObject* object);

// A cell's text as the grid draws it; a progress cell as its bar's text.
QString AccessibleCellText(const TNxCustomColumn& column, const TCell& cell);

class TNextGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit TNextGridAccessible(TNextGrid* grid);
    ~TNextGridAccessible() override;

    TNextGrid& Grid() const;

    // --- QAccessibleInterface; the table is named by its hint, as the
    // window's buttons are.
    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // --- QAccessibleTableInterface; rows in the current order, columns in
    // screen order among the visible ones. The selection is a whole row.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    // The window offers no way to clear the selection; neither do tools.
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The events object keeps the children right before it tells of a change.
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // --- for the cells and the events
    // The visible column at screen place `column`; nullptr outside.
    TNxCustomColumn* VisibleColumn(int column) const;
    // Screen place of a column among the visible ones; -1 when hidden.
    int ScreenColumn(const TNxCustomColumn& column) const;
    // The cell at `row` in the column with Index `index`; nullptr when that
    // cell is not in the table (hidden column, no such row).
    QAccessibleInterface* CellByIndex(int row, int index) const;
    QAccessibleInterface* HeaderByIndex(int index) const;
    // The selected row's cell in the selected column (the first visible
    // column when that one is hidden); nullptr without a selected row.
    QAccessibleInterface* SelectedCell() const;
    // Drops every cell and header interface made so far.
    void ForgetChildren();
    // Drops the cell interfaces of the rows from `first` on.
    void ForgetRowsFrom(int first);

private:
    std::unique_ptr<TTableAccessibleEvents> events_;
    // Keyed by (row, column Index) and by column Index.
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
    mutable std::map<int, QAccessible::Id> headers_;
};

} // namespace vantrel::grid
