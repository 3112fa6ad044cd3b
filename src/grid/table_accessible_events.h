#pragma once
// Tells assistive tools what changes in the grid: rows added, a new row
// order, columns moved, shown or hidden, the selection and the focus, and
// cell texts. A decoding run changes a progress cell many times a second;
// those changes are thinned out per row, while every other cell change is
// told at once.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <unordered_map>

class QAccessibleInterface;

namespace vantrel::grid {

class TNextGrid;
class TNextGridAccessible;

// Which progress changes of a row are worth telling: a change of the drawn
// text, at most once per interval, except that an empty or a full bar is
// always told at once. A change held back is told with the next one after
// the interval, or when another cell of the row changes.
class TProgressThrottle {
public:
    explicit TProgressThrottle(qint64 intervalMs) : intervalMs_(intervalMs) {}

    // Whether to tell that the row's progress now reads `text`; `atEnd` for
    // an empty or a full bar.
    bool Offer(int row, const QString& text, bool atEnd, qint64 nowMs);
    // Whether a change of the row was held back; forgets it either way.
    bool TakePending(int row);
    void Clear() { rows_.clear(); }

private:
    struct RowState {
        QString told;
        qint64 toldAtMs = 0;
        bool pending = false;
    };
    qint64 intervalMs_;
    std::unordered_map<int, RowState> rows_;
};

class TTableAccessibleEvents : public QObject {
    Q_OBJECT
public:
    // A few progress events a second per row at most.
    static constexpr qint64 ProgressIntervalMs = 250;

    TTableAccessibleEvents(TNextGrid& grid, TNextGridAccessible& table);

    // Rows from `first` on, `count` of them, have left the grid.
    void RowsRemoved(int first, int count);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RowCountChanged();
    void Reset();
    void SelectionChanged(int ACol, int ARow);
    void CellChanged(int ACol, int ARow);
    void TellFocus();
    void TellProgress(QAccessibleInterface& cell);
    void TellName(QAccessibleInterface& cell);

    TNextGrid& grid_;
    TNextGridAccessible& table_;
    int knownRows_;
    TProgressThrottle throttle_{ProgressIntervalMs};
    QElapsedTimer clock_;
};

} // namespace vantrel::grid
