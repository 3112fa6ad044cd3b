// Row sorting of TNextGrid.
#include "grid/next_grid.h"

namespace vantrel::grid {

void TNextGrid::SortColumn(TNxCustomColumn* AColumn, bool Ascending)
{
    // Not implemented yet: the row sort arrives with the header interaction
    // work. Until then a sort request leaves the row order as it is.
    Q_UNUSED(AColumn);
    Q_UNUSED(Ascending);
}

} // namespace vantrel::grid
