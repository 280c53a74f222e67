#pragma once

#include "core/Entry.h"
#include "core/TextOrder.h"

#include <cstdint>
#include <vector>

// Puts the entries in order by one field under a TextOrder and returns the old row of each entry, from 0, in the
// new order. Entries whose fields compare equal keep their order in either direction.
//
// The fields' weights are compared eight at a time as numbers, which a radix sort puts in order; only the rows
// that tie on all eight take the next eight, and so on to the end of the longest field. A million rows sort in a
// few passes over an array of numbers instead of twenty million comparisons of texts. The first three chunks of
// every field are taken in one pass in the entries' order; later ones are read for all tied rows of a chunk
// together, and small groups of rows that tie that far are put in order by comparing their texts.
std::vector<std::uint32_t> sortEntries(std::vector<Entry> &entries, Entry::Field field, const TextOrder &order,
                                       bool ascending);
