#pragma once
// The grid's cell store: per column an ordered list of cell objects, one per
// row, and a parallel list of row records. Rows move (sorting) by moving the
// row record and every column's cell object together, never by copying
// values. Cells do not know their address: a change reports the store's
// current position, the address most recently looked up with GetCell.
#include "grid/grid_types.h"
#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace vantrel::grid {

class TCells;
class TNxColumns;
class TNxCustomColumn;

struct TRow {
    int ChildCount = 0;
    bool Expanded = true;
    int ImageIndex = -1;
    int Level = 0;
    int Height = 16;      // RowSize when the row was made
    bool Selected = false;
    bool Shown = true;
    bool Visible = true;
};

// Base of every cell. Getters are abstract; every setter stores its value
// first and then calls Changed, which reaches the store's change event.
class TCell {
public:
    explicit TCell(TCells& owner) : owner_(&owner) {}
    virtual ~TCell() = default;
    TCell(const TCell&) = delete;
    TCell& operator=(const TCell&) = delete;

    // Colours as given by the column when the cell was made; an invalid
    // QColor means "the control's window colour / window text colour".
    virtual QColor GetActualColor() const { return color_; }
    virtual QColor GetActualFontColor() const { return fontColor_; }

    virtual bool GetAsBoolean() const = 0;
    virtual double GetAsFloat() const = 0;
    virtual int GetAsInteger() const = 0;
    virtual QString GetAsString() const = 0;

    virtual void Changed();
    virtual void SetAsBoolean(bool) { Changed(); }
    virtual void SetAsFloat(double) { Changed(); }
    virtual void SetAsInteger(int) { Changed(); }
    virtual void SetAsString(const QString&) { Changed(); }
    virtual void Clear() = 0;

    QColor Color() const { return color_; }
    void SetColor(const QColor& c) { color_ = c; }
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& c) { fontColor_ = c; }
    TFontStyles FontStyle() const { return fontStyle_; }
    void SetFontStyle(TFontStyles s) { fontStyle_ = s; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& h) { hint_ = h; }
    bool Empty() const { return empty_; }
    void SetEmpty(bool e) { empty_ = e; }
    bool Locked() const { return locked_; }
    void SetLocked(bool l) { locked_ = l; }
    TCells& Owner() const { return *owner_; }

private:
    TCells* owner_;
    TFontStyles fontStyle_;
    QColor color_;
    QColor fontColor_;
    QString hint_;
    bool empty_ = false;
    bool locked_ = false;
};

// Wide text, empty at start. Number getters read the text.
class TStringCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override;
    double GetAsFloat() const override;   // throws EConvertError for non-numbers
    int GetAsInteger() const override;    // throws EConvertError for non-integers
    QString GetAsString() const override { return text_; }
    void SetAsBoolean(bool value) override;
    void SetAsFloat(double value) override;   // stores the general text form
    void SetAsInteger(int value) override;    // stores decimal digits
    void SetAsString(const QString& value) override;
    void Clear() override;

private:
    QString text_;
};

// A double, 0 at start. Text is the general form (FloatToText).
class TFloatCell : public TCell {
public:
    using TCell::TCell;
    bool GetAsBoolean() const override { return value_ != 0.0; }
    double GetAsFloat() const override { return value_; }
    int GetAsInteger() const override;    // nearest, halves to even; throws when out of range
    QString GetAsString() const override;
    void SetAsBoolean(bool value) override;
    void SetAsFloat(double value) override;
    void SetAsInteger(int value) override;
    void SetAsString(const QString& value) override;  // throws EConvertError, value kept
    void Clear() override;

private:
    double value_ = 0.0;
};

// Memory of the last sort, kept by the store so that a repeated sort of an
// unchanged table can simply reverse the rows.
struct TSortMemory {
    int LastColumn = -1;
    bool LastAscending = true;
    bool StillSorted = false;
};

// What one store sort did: whether it only reversed the previous order, and
// how many row swaps it took.
struct TSortOutcome {
    bool Reversed = false;
    long long Swaps = 0;
};

class TCells {
public:
    static constexpr int MaxColumns = 1025;
    using ChangeHandler = std::function<void(int ACol, int ARow)>;

    TCells();
    ~TCells();
    TCells(const TCells&) = delete;
    TCells& operator=(const TCells&) = delete;

    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    int VisibleRowCount() const { return visibleRows_; }

    // Appends a column's cell list with one new cell per existing row.
    // Throws EGridError beyond MaxColumns.
    void AddColumn(const TNxCustomColumn& column);
    // Appends `count` rows of `rowHeight`; cells are made by each column.
    void AddRows(int count, int rowHeight, const TNxColumns& columns);
    // Removes the given rows (in any order; repeats and rows outside the
    // store are ignored) with their row records and cell objects, in one
    // pass. The other rows keep their order, so the sort memory stays true.
    // Returns the removed rows, ascending, as they were numbered before.
    std::vector<int> RemoveRows(std::vector<int> rows);

    // Looks a cell up and makes (ACol, ARow) the current position. Throws
    // EListError for a row or column that does not exist.
    TCell* GetCell(int ACol, int ARow);
    // Looks a cell up without touching the current position (painting).
    // Returns nullptr outside the store.
    const TCell* PeekCell(int ACol, int ARow) const;

    TRow& Row(int ARow) { return rows_.at(static_cast<size_t>(ARow)); }
    const TRow& Row(int ARow) const { return rows_.at(static_cast<size_t>(ARow)); }

    int CurrentColumn() const { return currentCol_; }
    int CurrentRow() const { return currentRow_; }

    // Moves row record and every column's cell object of rows a and b.
    void SwapRows(int a, int b);

    TSortMemory& SortMemory() { return sortMemory_; }
    const TSortMemory& SortMemory() const { return sortMemory_; }

    // Orders the rows by column ACol's cells. When ACol is the column sorted
    // last, nothing changed since and the direction differs, the rows are
    // simply reversed (unless fullResort); otherwise a randomised quicksort
    // runs. Only row records and cell objects move. A column that does not
    // exist changes nothing.
    TSortOutcome Sort(int ACol, TSortType type, bool ascending, bool fullResort = false);
    // Makes the pivot choices of later sorts repeatable.
    void SeedPivotSource(unsigned seed) { pivotSource_.seed(seed); }

    // Wired to the control's DoCellChange.
    void SetOnChange(ChangeHandler handler) { onChange_ = std::move(handler); }
    // Called by TCell::Changed: reports the current position, then forgets
    // that the rows are in sorted order.
    void CellChanged();

private:
    std::vector<std::vector<std::unique_ptr<TCell>>> columns_;
    std::vector<TRow> rows_;
    int visibleRows_ = 0;
    int currentCol_ = 0;
    int currentRow_ = 0;
    TSortMemory sortMemory_;
    std::minstd_rand pivotSource_{std::random_device{}()};
    ChangeHandler onChange_;

    friend class TRowQuickSort;
};

} // namespace vantrel::grid
