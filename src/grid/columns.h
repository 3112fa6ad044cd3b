#pragma once
// Columns of the grid. A column's Index is its place in the collection and
// addresses its cells; its Position is its place on screen. Moving a column
// on screen changes only Position, so cell addresses stay stable.
#include "grid/grid_types.h"
#include <QColor>
#include <QFont>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel::grid {

class TCell;
class TCells;
class TColumnDisplay;
class TNxColumns;

struct TColumnHeader {
    QString Caption;
    Qt::Alignment Alignment = Qt::AlignLeft;   // AlignLeft, AlignHCenter or AlignRight
    std::optional<QFont> Font;                 // used only when ParentFont is false
    bool ParentFont = true;
    bool HideArrow = true;                     // leave the sort arrow out when it does not fit
    bool MultiLine = false;
};

class TNxCustomColumn {
public:
    TNxCustomColumn();
    virtual ~TNxCustomColumn();
    TNxCustomColumn(const TNxCustomColumn&) = delete;
    TNxCustomColumn& operator=(const TNxCustomColumn&) = delete;

    // --- what the column is
    int Index() const { return index_; }
    int Position() const { return position_; }
    TColumnType ColumnType() const { return columnType_; }
    virtual TColumnStyles GetColumnStyle() const { return {}; }

    // --- header (plain data; the control repaints its header on the next paint)
    TColumnHeader& Header() { return header_; }
    const TColumnHeader& Header() const { return header_; }

    // --- geometry
    int Width() const { return width_; }
    void SetWidth(int width);                   // never below MinWidth; ccWidth
    int DefaultWidth() const { return defaultWidth_; }
    void SetDefaultWidth(int width) { defaultWidth_ = width; }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int width);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);              // ccVisible
    int Padding() const { return padding_; }
    void SetPadding(int padding);

    // --- look of the cells
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment a);
    TVerticalAlignment VerticalAlignment() const { return verticalAlignment_; }
    void SetVerticalAlignment(TVerticalAlignment a) { verticalAlignment_ = a; }
    TWrapKind WrapKind() const { return wrapKind_; }
    void SetWrapKind(TWrapKind k) { wrapKind_ = k; }
    // Invalid colour: the control's window colour; given to new cells.
    QColor Color() const { return color_; }
    void SetColor(const QColor& c) { color_ = c; }
    // Unset: the control's font (ParentFont).
    const std::optional<QFont>& Font() const { return font_; }
    void SetFont(const std::optional<QFont>& f) { font_ = f; }
    // Invalid colour: window text; given to new cells.
    QColor FontColor() const { return fontColor_; }
    void SetFontColor(const QColor& c) { fontColor_ = c; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }

    // --- behaviour
    TColumnOptions Options() const { return options_; }
    void SetOptions(TColumnOptions o) { options_ = o; }
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType t);              // ccSortTypeChange
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);                // ccSorted / ccUnsorted
    TSortKind SortKind() const { return sortKind_; }
    void SetSortKind(TSortKind k);              // ccSortTypeChange
    const QString& DefaultValue() const { return defaultValue_; }
    void SetDefaultValue(const QString& v) { defaultValue_ = v; }

    // Text of a cell as this column draws it.
    virtual QString GetDrawText(const TCell& cell) const;

    // Makes a new cell of the column's kind with the column's colours.
    std::unique_ptr<TCell> CreateCell(TCells& owner) const;

    // The column's drawing object.
    TColumnDisplay& Display() const { return *display_; }

protected:
    void SetColumnType(TColumnType t) { columnType_ = t; }
    // The display kind of the column; called once by the collection.
    virtual std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() const;

private:
    friend class TNxColumns;
    void Changed(TColumnChangeKind kind);

    TNxColumns* owner_ = nullptr;
    std::unique_ptr<TColumnDisplay> display_;
    int index_ = -1;
    int position_ = -1;
    TColumnType columnType_ = ctString;
    TColumnHeader header_;
    int width_ = 80;
    int defaultWidth_ = 80;
    int minWidth_ = 8;
    bool visible_ = true;
    int padding_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    TVerticalAlignment verticalAlignment_ = taVerticalCenter;
    TWrapKind wrapKind_ = wkEllipsis;
    QColor color_;
    std::optional<QFont> font_;
    QColor fontColor_;
    bool enabled_ = true;
    TColumnOptions options_ = coCanClick | coCanInput | coCanSort | coPublicUsing;
    TSortType sortType_ = stAlphabetic;
    bool sorted_ = false;
    TSortKind sortKind_ = skAscending;
    QString defaultValue_;
};

class TNxTextColumn : public TNxCustomColumn {
public:
    TNxTextColumn();
    TColumnStyles GetColumnStyle() const override { return csCanEdit | csFitToLargest | csTextFitHint; }
    QString GetDrawText(const TCell& cell) const override;   // TextBefore + text + TextAfter
    const QString& TextBefore() const { return textBefore_; }
    void SetTextBefore(const QString& t) { textBefore_ = t; }
    const QString& TextAfter() const { return textAfter_; }
    void SetTextAfter(const QString& t) { textAfter_ = t; }

protected:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() const override;

private:
    QString textBefore_;
    QString textAfter_;
};

// Number cells drawn as a bar with an optional percentage text.
class TNxProgressColumn : public TNxCustomColumn {
public:
    TNxProgressColumn();

    int Max = 100;                      // value that fills the bar
    int Precision = 0;                  // digits after the point in the text
    int Margin = 2;                     // inset of the box from the cell
    int ProgressHeight = 0;             // 0: the cell's height
    TProgressStyle ProgressStyle = psSolid;
    QColor ProgressColor;               // invalid: highlight
    QColor BorderColor = QColor(0x80, 0x80, 0x80);
    bool Transparent = false;           // outline only
    bool RoundCorners = false;
    bool ShowText = false;
    TTextPosition TextPosition = tpBeside;
    int LowValueBound = 0;
    int HighValueBound = 0;
    QColor LowValueColor = QColor(0, 0, 0);
    QColor HighValueColor;              // invalid: highlight
    bool HideWhenEmpty = false;
    double EmptyValue = 0.0;

protected:
    std::unique_ptr<TColumnDisplay> GetColumnDisplayClass() const override;
};

// Told by the collection about new columns and column changes.
class TNxColumnsObserver {
public:
    virtual ~TNxColumnsObserver() = default;
    virtual void ColumnAdded(TNxCustomColumn& column) = 0;
    virtual void ColumnChanged(TNxCustomColumn& column, TColumnChangeKind kind) = 0;
};

// Owns the columns. Index order is insertion order; Position order is the
// screen order and can be changed with Move.
class TNxColumns {
public:
    explicit TNxColumns(TNxColumnsObserver* observer = nullptr) : observer_(observer) {}

    // Takes ownership. Throws EGridError beyond TCells::MaxColumns.
    TNxCustomColumn& Add(std::unique_ptr<TNxCustomColumn> column);
    template <class T>
    T& Add()
    {
        auto column = std::make_unique<T>();
        T& ref = *column;
        Add(std::move(column));
        return ref;
    }

    int Count() const { return static_cast<int>(columns_.size()); }
    TNxCustomColumn& Item(int index) const { return *columns_.at(static_cast<size_t>(index)); }
    TNxCustomColumn& operator[](int index) const { return Item(index); }
    // nullptr when no column has that position.
    TNxCustomColumn* ByPosition(int position) const;
    // Visible columns in screen order.
    std::vector<TNxCustomColumn*> VisibleInPositionOrder() const;
    // Columns by Index, for making cells.
    std::vector<const TNxCustomColumn*> ByIndex() const;

    // Gives `column` the screen place `position`; the columns between shift
    // by one. Reports ccPosition.
    void Move(TNxCustomColumn& column, int position);

private:
    friend class TNxCustomColumn;
    void Notify(TNxCustomColumn& column, TColumnChangeKind kind);

    TNxColumnsObserver* observer_;
    std::vector<std::unique_ptr<TNxCustomColumn>> columns_;
};

} // namespace vantrel::grid
