// Row sorting of TNextGrid: the store sorts, the control keeps the selection
// on its row record and shows the new order.
#include "grid/next_grid.h"

namespace vantrel::grid {

void TNextGrid::SortColumn(TNxCustomColumn* AColumn, bool Ascending)
{
    if (!AColumn || !AColumn->Options().testFlag(coCanSort))
        return;
    sortedColumn_ = AColumn;
    emit OnSortColumn(AColumn->Index(), Ascending);

    cells_.Sort(AColumn->Index(), AColumn->SortType(), Ascending, AColumn->Options().testFlag(coFullResort));

    // The selected flag lives in the row record, which moved with its row.
    if (selectedRow_ >= 0) {
        for (int row = 0; row < cells_.RowCount(); ++row) {
            if (cells_.Row(row).Selected) {
                selectedRow_ = row;
                emit OnSelectCell(selectedCol_, row);
                break;
            }
        }
        ScrollRowIntoView(selectedRow_);
    }
    UpdateVerticalScrollBar();
    viewport()->update();
    emit OnAfterSort(AColumn->Index());
}

} // namespace vantrel::grid
