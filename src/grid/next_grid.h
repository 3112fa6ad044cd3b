#pragma once
// TNextGrid: the file table control. A custom-drawn table on
// QAbstractScrollArea with a header row, typed cells, full-row selection and
// its own scroll bars. Rows scroll by whole rows, columns by pixels.
//
// Changes never paint at once: a cell change marks the cell's rectangle with
// viewport()->update(rect), and the table shows it when the event loop next
// handles painting. Inside BeginUpdate/EndUpdate nothing is marked and no
// scroll bar is recomputed, so many rows can be added cheaply.
//
// Cells are addressed by the column's Index (not its screen Position) and
// the row's index in the current order.
#include "grid/cells.h"
#include "grid/columns.h"
#include "grid/grid_types.h"
#include "grid/header_events.h"
#include <QAbstractScrollArea>
#include <QColor>
#include <memory>
#include <vector>

class QHelpEvent;

namespace vantrel::grid {

class TGridCellHint;
class TGridHeaderMouse;
class TStyleDisplay;
struct TSystemColors;

class TNextGrid : public QAbstractScrollArea, private TNxColumnsObserver, private TGridHeaderEvents {
    Q_OBJECT

public:
    explicit TNextGrid(QWidget* parent = nullptr);
    ~TNextGrid() override;

    TNxColumns& Columns() { return columns_; }
    const TNxColumns& Columns() const { return columns_; }
    TCells& Cells() { return cells_; }

    // --- operations the program uses
    virtual int GetRowCount() const;
    virtual int GetSelectedRow() const;          // -1: none
    // Sorts the rows by the column; nothing for a column without coCanSort.
    // The selected row stays with its row record and is scrolled into view.
    // Raises OnSortColumn before and OnAfterSort after.
    virtual void SortColumn(TNxCustomColumn* AColumn, bool Ascending);
    // Appends Count rows; returns the index of the last row added. Count
    // below 1 changes nothing and returns the previous call's result.
    virtual int AddRow(int Count = 1);
    // Marks the cell with its right and bottom grid line for painting.
    virtual void RefreshCell(int ACol, int ARow);
    virtual void SelectCell(int ACol, int ARow);
    virtual void SelectFirstRow();
    virtual void SelectLastRow();
    // Throws EListError "List index out of bounds (%d)" for a bad row/column.
    virtual TCell* GetCell(int ACol, int ARow);

    // Remove rows with their cells; the other rows keep their order, so a
    // sorted table stays sorted. A selected row that goes hands the
    // selection to the row that takes its place, or to the new last row; a
    // selected row that stays keeps it. Outside an update bracket the rows in
    // view stay in view, the rows from the first removed one down are marked
    // and the vertical scroll bar is recomputed. Raises OnRowsDeleted, then
    // OnDataChange; rows that do not exist are ignored.
    void DeleteRow(int ARow);
    void DeleteRows(std::vector<int> Rows);
    void ClearRows();

    // As a click on the row would, keeping the selected column; -1 clears.
    void SetSelectedRow(int ARow);
    int GetSelectedColumn() const { return selectedCol_; }

    // The column sorted last, until it is unsorted; nullptr at start.
    TNxCustomColumn* SortedColumn() const { return sortedColumn_; }
    // Fits a column with csFitToLargest to the widest text of its rows:
    // 2 x Padding + the larger of 8 and that text + 5 pixels. Other
    // columns (the progress column) keep their width.
    void BestFitColumn(int AIndex);
    // Width of the cell's text as drawn, one line in the column's font.
    int CellTextWidth(const TNxCustomColumn& column, const TCell& cell) const;

    void BeginUpdate();
    // Closes a bracket; at counter 0 with Repaint marks the whole control
    // and recomputes both scroll bars.
    void EndUpdate(bool Repaint = true);
    bool IsUpdating() const { return updateCount_ > 0; }

    // --- properties
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    TAppearanceOptions AppearanceOptions() const { return appearance_; }
    void SetAppearanceOptions(TAppearanceOptions options);
    THeaderStyle HeaderStyle() const { return headerStyle_; }
    void SetHeaderStyle(THeaderStyle style);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    int HeaderSize() const { return headerSize_; }
    void SetHeaderSize(int pixels);
    int RowSize() const { return rowSize_; }     // height of new rows, grid line excluded
    void SetRowSize(int pixels);
    bool MouseWheelEnabled() const { return wheelEnabled_; }
    void SetMouseWheelEnabled(bool enabled) { wheelEnabled_ = enabled; }
    // Colours; invalid means the named system colour from the palette.
    QColor Color() const { return color_; }
    void SetColor(const QColor& c);
    QColor GridLinesColor() const { return gridLinesColor_; }
    void SetGridLinesColor(const QColor& c);
    QColor SelectionColor() const { return selectionColor_; }
    void SetSelectionColor(const QColor& c);
    QColor HighlightedTextColor() const { return highlightedTextColor_; }
    void SetHighlightedTextColor(const QColor& c);

    // While disabled, presses, drags, resizes and double-clicks on the
    // header are ignored and one under way is dropped (a decoding run turns
    // it off).
    void SetHeaderInteractionEnabled(bool enabled);
    bool HeaderInteractionEnabled() const { return headerInteraction_; }

    // --- geometry in viewport coordinates (also for the header handling)
    int HeaderHeight() const;                    // HeaderSize with goHeader, else 0
    int GridLineWidth() const;                   // 1 with goGrid, else 0
    int RowPitch() const { return rowSize_ + GridLineWidth(); }
    int FirstRowInView() const;
    // Top of row ARow's cells, counted from the first row in view.
    int RowTop(int ARow) const { return HeaderHeight() + (ARow - FirstRowInView()) * RowPitch(); }
    int WhollyVisibleRowCount() const;           // rows whose RowSize fits in the body
    int ColumnLeft(const TNxCustomColumn& column) const;   // unscrolled, from visible columns
    int TotalColumnsWidth() const;
    // Cell rectangle without its grid lines; empty when the row is not in view.
    QRect CellRect(int ACol, int ARow) const;
    QRect HeaderRect(const TNxCustomColumn& column) const;
    // Visible column under viewport x (nullptr outside the columns).
    TNxCustomColumn* ColumnAtX(int x) const;
    // Existing row under viewport y in the body, -1 otherwise.
    int RowAtY(int y) const;
    void ScrollRowIntoView(int ARow);

    // The header the left button is held on (drawn with the reversed gradient).
    TNxCustomColumn* PressedHeader() const { return pressedHeader_; }
    void SetPressedHeader(TNxCustomColumn* column);
    void RefreshHeader(const TNxCustomColumn& column);

signals:
    void OnDblClick();
    void OnSelectCell(int ACol, int ARow);
    void OnCellClick(int ACol, int ARow);
    void OnCellDblClick(int ACol, int ARow);
    void OnHeaderClick(int ACol);
    void OnHeaderDblClick(int ACol);
    void OnChange(int ACol, int ARow);
    void OnDataChange();
    void OnSortColumn(int ACol, bool Ascending);
    void OnAfterSort(int ACol);
    void OnColumnMove(int ACol, int OldPos, int NewPos);
    void OnColumnResize(int ACol);
    // After rows were removed: once per run of adjacent rows, the last run
    // first, so that each (First, Count) holds for the table as it was after
    // the runs reported before it.
    void OnRowsDeleted(int First, int Count);
    // A context menu is asked for over the body: ARow is the row under the
    // pointer (-1 below the last row), or from the keyboard (the menu key,
    // Shift+F10) the selected row, then placed just below it. Never over the
    // header, where the right button does nothing.
    void OnRowContextMenu(int ARow, const QPoint& GlobalPos);
    // A column was shown or hidden (by dragging its header off, or by code).
    void OnColumnVisibleChange(int ACol);

protected:
    // Reached from a cell setter through the store; marks the cell unless a
    // bracket is open.
    virtual void DoCellChange(int ACol, int ARow);

    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // TNxColumnsObserver
    void ColumnAdded(TNxCustomColumn& column) override;
    void ColumnChanged(TNxCustomColumn& column, TColumnChangeKind kind) override;
    // TGridHeaderEvents
    void HeaderClicked(int ACol) override;
    void HeaderDoubleClicked(int ACol) override;
    void ColumnMoved(int ACol, int OldPos, int NewPos) override;
    void ColumnResized(int ACol) override;

    TSystemColors SystemColors() const;
    bool ShowsSelection() const;
    void RefreshRow(int ARow);
    void UpdateVerticalScrollBar();
    void UpdateHorizontalScrollBar();
    void SetFirstRowInView(int ARow);
    void SelectRowByKey(int ARow);
    // A body cell's own hint text as the tool tip under the pointer; false
    // when the cell there has none.
    bool ShowCellHintText(QHelpEvent* e);
    void PageUp();
    void PageDown();
    void RequestRowMenuFromKeyboard();
    void PaintBody(QPainter& p, const QRegion& exposed, const TSystemColors& colors);
    void PaintHeader(QPainter& p, const TSystemColors& colors);
    void PaintFocusRect(QPainter& p);
    void PaintFrame();

    TNxColumns columns_;
    TCells cells_;
    std::unique_ptr<TStyleDisplay> styleDisplay_;
    std::unique_ptr<TGridHeaderMouse> headerMouse_;
    std::unique_ptr<TGridCellHint> cellHint_;
    TGridOptions options_ = goHeader;
    TAppearanceOptions appearance_ = aoHideSelection | aoHighlightSlideCells;
    THeaderStyle headerStyle_ = hsAuto;
    bool readOnly_ = false;
    bool wheelEnabled_ = true;
    bool headerInteraction_ = true;
    int headerSize_ = 18;
    int rowSize_ = 16;
    QColor color_;
    QColor gridLinesColor_;
    QColor selectionColor_;
    QColor highlightedTextColor_;
    int updateCount_ = 0;
    int lastAdded_ = 0;
    int selectedCol_ = 0;
    int selectedRow_ = -1;
    int wheelRemainder_ = 0;
    TNxCustomColumn* pressedHeader_ = nullptr;
    TNxCustomColumn* sortedColumn_ = nullptr;
};

} // namespace vantrel::grid
