#include "core/EntryListModel.h"

#include "core/CodePage1252.h"

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

QString EntryListModel::boundedText(QStringView text, qsizetype length)
{
    if (text.size() <= length) {
        return text.toString();
    }
    qsizetype cut = std::max<qsizetype>(length, 0);
    if (cut > 0 && text[cut - 1].isHighSurrogate()) {
        --cut;
    }
    QString out;
    out.reserve(cut + 1);
    out.append(text.first(cut)).append(u'\u2026');
    return out;
}

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
        return boundedText(CodePage1252::toUnicode(field.first(std::min(field.size(), ShownLength + 1))));
    }
    case Qt::AccessibleTextRole:
        return e.text(fieldOf(index.column()));
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
    const Entry::Field field = sortKey_;
    const size_t n = entries_.size();

    // Each row's key column turned into its sort weights once: the first eight packed into a number, the rest laid
    // end to end in one buffer. Comparing weights byte by byte, shorter first, is TextOrder::compare, so a
    // comparison is a number compare and, on a tie, one memcmp over contiguous memory instead of two walks
    // through the entries' own heap blocks and the weight table.
    struct Item {
        std::uint64_t prefix;
        std::uint32_t restOffset;
        std::uint32_t restLength;
        std::uint32_t row;
    };
    std::vector<Item> items(n);
    size_t restBytes = 0;
    for (const Entry &e : entries_) {
        restBytes += size_t(std::max<qsizetype>(0, e.field(field).size() - 8));
    }
    // Offsets are 32-bit: a column of more than 4 GB (never a vault that fits in memory twice) sorts on the slow path.
    const bool packed = restBytes <= std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint8_t> rest(packed ? restBytes : 0);
    size_t at = 0;
    for (size_t i = 0; i < n; ++i) {
        const QByteArrayView text = entries_[i].field(field);
        items[i] = {textOrder_.prefixKey(text), std::uint32_t(at), 0, std::uint32_t(i)};
        if (packed && text.size() > 8) {
            for (qsizetype b = 8; b < text.size(); ++b) {
                rest[at++] = textOrder_.weight(static_cast<unsigned char>(text[b]));
            }
            items[i].restLength = std::uint32_t(text.size() - 8);
        }
    }
    const auto compareItems = [&](const Item &a, const Item &b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix ? -1 : 1;
        }
        if (!packed) {
            return textOrder_.compare(entries_[a.row].field(field), entries_[b.row].field(field));
        }
        // memcmp must not see the null data() of an empty buffer, even for no bytes at all.
        const std::uint32_t common = std::min(a.restLength, b.restLength);
        const int c = common == 0 ? 0 : std::memcmp(rest.data() + a.restOffset, rest.data() + b.restOffset, common);
        if (c != 0) {
            return c;
        }
        return a.restLength < b.restLength ? -1 : (a.restLength > b.restLength ? 1 : 0);
    };
    // Rows with equal keys keep their order in either direction: the old row number breaks every tie, which makes
    // the plain (faster, buffer-free) sort give the stable order.
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    std::sort(items.begin(), items.end(), [&](const Item &a, const Item &b) {
        const int c = compareItems(a, b);
        if (c != 0) {
            return ascending ? c < 0 : c > 0;
        }
        return a.row < b.row;
    });
    rest = {};

    std::vector<std::uint32_t> oldRowAt(n);
    for (size_t i = 0; i < n; ++i) {
        oldRowAt[i] = items[i].row;
    }
    items = {};

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Moves the entries into their new places along the permutation's cycles, without a second vector of entries;
    // newRowOf doubles as the mark of rows already placed.
    std::vector<std::uint32_t> newRowOf(n);
    for (size_t i = 0; i < n; ++i) {
        newRowOf[oldRowAt[i]] = std::uint32_t(i);
    }
    std::vector<bool> placed(n, false);
    for (size_t start = 0; start < n; ++start) {
        if (placed[start] || oldRowAt[start] == start) {
            continue;
        }
        Entry held = std::move(entries_[start]);
        size_t to = start;
        for (;;) {
            placed[to] = true;
            const size_t from = oldRowAt[to];
            if (from == start) {
                entries_[to] = std::move(held);
                break;
            }
            entries_[to] = std::move(entries_[from]);
            to = from;
        }
    }
    oldRowAt = {};
    placed = {};

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &old : before) {
        after.append(index(int(newRowOf[size_t(old.row())]), old.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
