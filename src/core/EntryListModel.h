#pragma once

#include "core/Entry.h"
#include "core/EntryStore.h"
#include "core/TextOrder.h"

#include <QAbstractTableModel>

#include <vector>

// The entries in display order: the only copy of them in memory. Sorting re-orders the entries themselves, so
// the order on screen is the order that every command scans and that a save writes.
class EntryListModel final : public QAbstractTableModel, public EntryStore {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EntryListModel)

public:
    // Column i shows field i of every entry (Entry::Field).

    // The most characters of a field that a cell or its tooltip shows: laying out a field of many megabytes would
    // stall the list for minutes or crash Qt's text layout. The accessible text, copying, editing and saving always
    // use the whole field.
    static constexpr qsizetype ShownLength = 4096;

    explicit EntryListModel(QObject *parent = nullptr);
    ~EntryListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // The view asks for an index of every row when it lays the list out: made here without the two virtual calls
    // of the general check.
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // EntryStore
    const std::vector<Entry> &entries() const override { return entries_; }
    void appendEntries(std::vector<Entry> entries) override;

    const Entry &entry(qsizetype row) const { return entries_[size_t(row)]; }
    void appendEntry(Entry entry);
    void setEntry(qsizetype row, Entry entry);
    void removeEntry(qsizetype row);

    // The sort settings. While sorting is on, a change of key or direction re-orders the rows by the text of the
    // key column; rows with equal keys keep their order. Added and changed rows are not moved.
    bool isSorted() const { return sorted_; }
    Entry::Field sortKey() const { return sortKey_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setSortSettings(bool sorted, Entry::Field key, Qt::SortOrder order);

    // A click on a column's header: sorts by that column, turning sorting on and flipping the direction at every
    // click, also when the column changes. An empty list changes nothing. False for a header that is no column.
    bool sortByHeaderClick(int column);

    void setTextOrder(const TextOrder &order) { textOrder_ = order; }

private:
    void reorder();

    std::vector<Entry> entries_;
    TextOrder textOrder_;
    bool sorted_ = false;
    Entry::Field sortKey_ = Entry::Username;
    // Stored as descending so that the first header click sorts ascending.
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};
