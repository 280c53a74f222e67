#pragma once

class EntryListModel;

namespace modListViewEnh {

// A header click: sorts by the clicked column (1 for the first), turning sorting on and flipping the direction at
// every call, also when the column changes. An empty list changes nothing. True unless something stopped it.
bool EnhListView_SortColumns(EntryListModel &list, int column);

} // namespace modListViewEnh
