#include "shell/EntryListModel.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

Entry::Field fieldOf(int column)
{
    return static_cast<Entry::Field>(column);
}

} // namespace

EntryListModel::EntryListModel(QObject *parent) : QAbstractTableModel(parent) {}

EntryListModel::~EntryListModel() = default;

int EntryListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid()) {
        return 0;
    }
    // A view counts rows in int; a vault beyond that many entries is kept whole but shows its first 2^31 - 1.
    return int(std::min<size_t>(entries_.size(), size_t(std::numeric_limits<int>::max())));
}

int EntryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return entries_[size_t(index.row())].text(fieldOf(index.column()));
    default:
        return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case UsernameColumn:
        return u"Username"_s;
    case PasswordColumn:
        return u"Password"_s;
    case LocationColumn:
        return u"Website/Location"_s;
    default:
        return {};
    }
}

void EntryListModel::appendEntries(std::vector<Entry> entries)
{
    if (entries.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + int(entries.size()) - 1);
    if (entries_.empty()) {
        entries_ = std::move(entries);
    } else {
        entries_.insert(entries_.end(), std::make_move_iterator(entries.begin()),
                        std::make_move_iterator(entries.end()));
    }
    endInsertRows();
}

void EntryListModel::appendEntry(Entry entry)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    entries_.push_back(std::move(entry));
    endInsertRows();
}

void EntryListModel::setEntry(qsizetype row, Entry entry)
{
    entries_[size_t(row)] = std::move(entry);
    emit dataChanged(index(int(row), 0), index(int(row), ColumnCount - 1), {Qt::DisplayRole});
}

void EntryListModel::removeEntry(qsizetype row)
{
    beginRemoveRows({}, int(row), int(row));
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

void EntryListModel::setSortSettings(bool sorted, int key, Qt::SortOrder order)
{
    const bool changed = sorted != sorted_ || key != sortKey_ || order != sortOrder_;
    sorted_ = sorted;
    sortKey_ = key;
    sortOrder_ = order;
    if (changed && sorted_) {
        reorder();
    }
}

void EntryListModel::reorder()
{
    const Entry::Field field = fieldOf(sortKey_);
    const size_t n = entries_.size();

    // Sort (prefix key, row) pairs: most comparisons end on the packed first eight weights.
    struct Item {
        std::uint64_t key;
        std::uint32_t row;
    };
    std::vector<Item> items(n);
    for (size_t i = 0; i < n; ++i) {
        items[i] = {textOrder_.prefixKey(entries_[i].field(field)), std::uint32_t(i)};
    }
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    const auto before = [&](const Item &a, const Item &b) {
        int c = a.key < b.key ? -1 : (a.key > b.key ? 1 : 0);
        if (c == 0) {
            c = textOrder_.compare(entries_[a.row].field(field), entries_[b.row].field(field));
        }
        return ascending ? c < 0 : c > 0;
    };
    std::stable_sort(items.begin(), items.end(), before);

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<std::uint32_t> newRowOf(n);
    std::vector<Entry> sorted;
    sorted.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        newRowOf[items[i].row] = std::uint32_t(i);
        sorted.push_back(std::move(entries_[items[i].row]));
    }
    items = {};
    entries_ = std::move(sorted);

    const QModelIndexList before_ = persistentIndexList();
    QModelIndexList after;
    after.reserve(before_.size());
    for (const QModelIndex &old : before_) {
        after.append(index(int(newRowOf[size_t(old.row())]), old.column()));
    }
    changePersistentIndexList(before_, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
