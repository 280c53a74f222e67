#include "core/EntryListModel.h"

#include "core/BoundedText.h"
#include "core/CodePage1252.h"
#include "core/RowOrder.h"

#include <algorithm>
#include <cstring>
#include <limits>
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

QModelIndex EntryListModel::index(int row, int column, const QModelIndex &parent) const
{
    const bool inside =
        !parent.isValid() && row >= 0 && size_t(row) < entries_.size() && column >= 0 && column < Entry::FieldCount;
    return inside ? createIndex(row, column) : QModelIndex();
}

int EntryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Entry::FieldCount;
}

QVariant EntryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= Entry::FieldCount) {
        return {};
    }
    const Entry &e = entries_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        // One byte is one character: only the part that can be shown is turned into text.
        const QByteArrayView field = e.field(fieldOf(index.column()));
        return BoundedText::of(CodePage1252::toUnicode(field.first(std::min(field.size(), ShownLength + 1))),
                               ShownLength);
    }
    case Qt::AccessibleTextRole:
        // A screen reader reads a row's cells one after another, each saying which field it is:
        // "Username bob, Password Hunter2, Website/Location mail.example.org".
        return headerData(index.column(), Qt::Horizontal).toString() + u' ' + e.text(fieldOf(index.column()));
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
    case Entry::Username:
        return u"Username"_s;
    case Entry::Password:
        return u"Password"_s;
    case Entry::Location:
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
    emit dataChanged(index(int(row), 0), index(int(row), Entry::FieldCount - 1), {Qt::DisplayRole});
}

void EntryListModel::removeEntry(qsizetype row)
{
    beginRemoveRows({}, int(row), int(row));
    entries_.erase(entries_.begin() + row);
    endRemoveRows();
}

void EntryListModel::setSortSettings(bool sorted, Entry::Field key, Qt::SortOrder order)
{
    const bool changed = sorted != sorted_ || key != sortKey_ || order != sortOrder_;
    sorted_ = sorted;
    sortKey_ = key;
    sortOrder_ = order;
    if (changed && sorted_) {
        reorder();
    }
}

bool EntryListModel::sortByHeaderClick(int column)
{
    if (entries_.empty()) {
        return true;
    }
    if (column < 0 || column >= Entry::FieldCount) {
        return false;
    }
    const Qt::SortOrder order = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    setSortSettings(true, fieldOf(column), order);
    return true;
}

void EntryListModel::reorder()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::uint32_t> oldRowAt =
        sortEntries(entries_, sortKey_, textOrder_, sortOrder_ == Qt::AscendingOrder);

    // The view's current row and selected rows follow their entries; without any, nothing needs the reverse order.
    const QModelIndexList before = persistentIndexList();
    if (!before.isEmpty()) {
        std::vector<std::uint32_t> newRowOf(oldRowAt.size());
        for (size_t i = 0; i < oldRowAt.size(); ++i) {
            newRowOf[oldRowAt[i]] = std::uint32_t(i);
        }
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &old : before) {
            after.append(index(int(newRowOf[size_t(old.row())]), old.column()));
        }
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
