#include "shell/modListViewEnh.h"

#include "shell/EntryListModel.h"

namespace modListViewEnh {

bool EnhListView_SortColumns(EntryListModel &list, int column)
{
    if (list.entries().empty()) {
        return true;
    }
    if (column < 1 || column > EntryListModel::ColumnCount) {
        return false;
    }
    const Qt::SortOrder order = list.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    list.setSortSettings(true, column - 1, order);
    return true;
}

} // namespace modListViewEnh
