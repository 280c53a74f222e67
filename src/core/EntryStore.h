#pragma once

#include "core/Entry.h"

#include <vector>

// The in-memory list of entries as the vault store sees it: the entries in display order, which is the order a
// save writes, and a way to append the entries that a load reads.
class EntryStore {
public:
    virtual ~EntryStore() = default;
    virtual const std::vector<Entry> &entries() const = 0;
    virtual void appendEntries(std::vector<Entry> entries) = 0;
};
