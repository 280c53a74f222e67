#include "core/RowOrder.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace {

constexpr qsizetype ChunkSize = 8;
// Groups up to this size are put in order by comparing their texts; larger ones by the radix sort.
constexpr size_t SmallGroup = 48;
constexpr size_t PrefetchDistance = 16;

struct Item {
    std::uint64_t key; // the weights of the chunk being sorted on, inverted when descending
    std::uint32_t row;
};

class Sorter {
public:
    Sorter(const std::vector<Entry> &entries, Entry::Field field, const TextOrder &order, bool ascending)
        : ascending_(ascending)
    {
        // Every field's weights, each padded with zeros to a whole chunk, end to end in one buffer that is filled
        // in one pass. Later chunks are read from here, which is far smaller than the entries and holds no pointer
        // to follow.
        const size_t n = entries.size();
        start_.resize(n + 1);
        size_t total = 0;
        for (size_t i = 0; i < n; ++i) {
            start_[i] = total;
            total += size_t(chunksOf(entries[i].field(field).size()) * ChunkSize);
        }
        start_[n] = total;
        weights_.resize(total);
        for (size_t i = 0; i < n; ++i) {
            // Once sorted, the rows lie anywhere in memory: the fields a few rows ahead are asked for early, so
            // that their reads overlap instead of waiting one after the other.
            if (i + PrefetchDistance < n) {
                __builtin_prefetch(entries[i + PrefetchDistance].field(field).data());
            }
            std::uint8_t *to = weights_.data() + start_[i];
            for (const char c : entries[i].field(field)) {
                *to++ = order.weight(static_cast<unsigned char>(c));
            }
        }
    }

    std::vector<std::uint32_t> run()
    {
        const size_t n = start_.size() - 1;
        items_.resize(n);
        for (size_t i = 0; i < n; ++i) {
            items_[i] = {keyAt(std::uint32_t(i), 0), std::uint32_t(i)};
        }
        spare_.resize(n);
        sortGroup(0, n, 0);
        std::vector<std::uint32_t> rows(n);
        for (size_t i = 0; i < n; ++i) {
            rows[i] = items_[i].row;
        }
        return rows;
    }

private:
    static qsizetype chunksOf(qsizetype size) { return (size + ChunkSize - 1) / ChunkSize; }

    // The weights of the row's field from byte `offset`, eight packed into a number with the first one highest;
    // zero where the field ended. Inverted when descending.
    std::uint64_t keyAt(std::uint32_t row, qsizetype offset) const
    {
        std::uint64_t key = 0;
        const size_t at = start_[row] + size_t(offset);
        if (at < start_[row + 1]) {
            std::memcpy(&key, weights_.data() + at, sizeof key);
            key = qFromBigEndian(key);
        }
        return ascending_ ? key : ~key;
    }

    // The weights of the row's field from byte `offset` on; a shorter list sorts first when all it has agrees.
    std::basic_string_view<std::uint8_t> weightsFrom(std::uint32_t row, qsizetype offset) const
    {
        const size_t at = std::min(start_[row] + size_t(offset), start_[row + 1]);
        const std::uint8_t *begin = weights_.data() + at;
        const std::uint8_t *end = weights_.data() + start_[row + 1];
        // The padding is no part of the field.
        while (end > begin && end[-1] == 0) {
            --end;
        }
        return {begin, size_t(end - begin)};
    }

    // Whether the chunk the key stands for holds the field's end: then rows with equal keys have equal fields.
    bool endsField(std::uint64_t key) const { return (ascending_ ? key : ~key) % 256 == 0; }

    // Sorts items [begin, end), whose fields agree on their first `offset` bytes' weights and whose keys hold the
    // chunk from there.
    void sortGroup(size_t begin, size_t end, qsizetype offset)
    {
        if (end - begin <= SmallGroup) {
            sortSmall(begin, end, offset);
            return;
        }
        radixSort(begin, end);
        for (size_t from = begin; from < end;) {
            size_t to = from + 1;
            while (to < end && items_[to].key == items_[from].key) {
                ++to;
            }
            if (to - from > 1 && !endsField(items_[from].key)) {
                for (size_t i = from; i < to; ++i) {
                    items_[i].key = keyAt(items_[i].row, offset + ChunkSize);
                }
                sortGroup(from, to, offset + ChunkSize);
            }
            from = to;
        }
    }

    void sortSmall(size_t begin, size_t end, qsizetype offset)
    {
        std::sort(items_.begin() + qsizetype(begin), items_.begin() + qsizetype(end),
                  [&](const Item &a, const Item &b) {
                      if (a.key != b.key) {
                          return a.key < b.key;
                      }
                      const int c = weightsFrom(a.row, offset).compare(weightsFrom(b.row, offset));
                      if (c != 0) {
                          return ascending_ ? c < 0 : c > 0;
                      }
                      return a.row < b.row;
                  });
    }

    // A stable sort of items [begin, end) by key, a byte at a time from the lowest; a byte that all keys share
    // costs no pass.
    void radixSort(size_t begin, size_t end)
    {
        std::array<std::array<std::uint32_t, 256>, ChunkSize> counts{};
        for (size_t i = begin; i < end; ++i) {
            const std::uint64_t key = items_[i].key;
            for (size_t b = 0; b < ChunkSize; ++b) {
                ++counts[b][(key >> (8 * b)) % 256];
            }
        }
        Item *from = items_.data() + begin;
        Item *to = spare_.data() + begin;
        const size_t n = end - begin;
        for (size_t b = 0; b < ChunkSize; ++b) {
            std::array<std::uint32_t, 256> &count = counts[b];
            if (count[(from[0].key >> (8 * b)) % 256] == n) {
                continue;
            }
            std::uint32_t at = 0;
            for (std::uint32_t &c : count) {
                const std::uint32_t here = c;
                c = at;
                at += here;
            }
            for (size_t i = 0; i < n; ++i) {
                to[count[(from[i].key >> (8 * b)) % 256]++] = from[i];
            }
            std::swap(from, to);
        }
        if (from != items_.data() + begin) {
            std::copy(from, from + n, items_.data() + begin);
        }
    }

    const bool ascending_;
    // Where each row's weights begin in weights_, and one more for the end of the last.
    std::vector<size_t> start_;
    std::vector<std::uint8_t> weights_;
    std::vector<Item> items_;
    std::vector<Item> spare_;
};

} // namespace

std::vector<std::uint32_t> rowsInOrder(const std::vector<Entry> &entries, Entry::Field field, const TextOrder &order,
                                       bool ascending)
{
    return Sorter(entries, field, order, ascending).run();
}
