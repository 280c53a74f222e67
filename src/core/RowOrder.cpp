#include "core/RowOrder.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace {

// Memory straight from the system for the sort's large arrays, in huge pages where the system has them to give:
// a first touch then costs a few page faults instead of thousands, reads anywhere in the array rarely miss the
// processor's address translations, and the whole array goes back to the system when the sort ends.
class PageBlock {
public:
    PageBlock() = default;
    ~PageBlock() { release(); }
    PageBlock(const PageBlock &) = delete;
    PageBlock &operator=(const PageBlock &) = delete;

    std::byte *allocate(size_t bytes)
    {
        release();
        size_ = std::max<size_t>(bytes, 1);
        void *at = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (at == MAP_FAILED) {
            size_ = 0;
            throw std::bad_alloc();
        }
#ifdef MADV_HUGEPAGE
        ::madvise(at, size_, MADV_HUGEPAGE); // only a hint: without huge pages the block works all the same
#endif
        data_ = static_cast<std::byte *>(at);
        return data_;
    }

    void release()
    {
        if (data_) {
            ::munmap(data_, size_);
            data_ = nullptr;
        }
    }

private:
    size_t size_ = 0;
    std::byte *data_ = nullptr;
};

constexpr qsizetype ChunkSize = TextOrder::KeyLength;
// Groups up to this size are put in order by comparing their keys; larger ones by the radix sort.
constexpr size_t SmallGroup = 48;
// The chunks after the first that the first pass keeps for every row. Texts that share a long start, as
// "https://www." does, are then told apart without going back to the entries, which lie anywhere in memory.
constexpr size_t KeptChunks = 2;
// Groups up to this size are radix sorted within the processor's caches.
constexpr size_t CachedGroup = 32768;
// How many rows ahead the memory of a row is asked for, so that the reads of rows lying anywhere in memory overlap
// instead of waiting one after the other.
constexpr size_t Ahead = 16;

struct Item {
    std::uint64_t key; // the weights of the chunk being sorted on, inverted when descending
    std::uint32_t row;
    std::uint32_t size; // of the row's field, which the item carries in space it has anyway
};

class Sorter {
public:
    Sorter(std::vector<Entry> &entries, Entry::Field field, const TextOrder &order, bool ascending)
        : entries_(entries), field_(field), order_(order), ascending_(ascending)
    {}

    std::vector<std::uint32_t> run()
    {
        const size_t n = entries_.size();
        // The items and the space the radix sort moves them to, in one block that afterwards holds the entries
        // on their way into the new order: the sort asks the system for no second block as large as the entries.
        items_ = reinterpret_cast<Item *>(block_.allocate(std::max(2 * sizeof(Item), sizeof(Entry)) * n));
        spare_ = items_ + n;
        // One pass in the entries' order takes the first chunks of every field: most rows are placed by the first,
        // and most ties are broken by the kept ones.
        keptKeys_ = reinterpret_cast<std::uint64_t *>(kept_.allocate(sizeof(std::uint64_t) * KeptChunks * n));
        // Where each row's field begins: later reads of a field need not go through its entry first.
        textAt_ = reinterpret_cast<const char **>(texts_.allocate(sizeof(const char *) * n));
        for (size_t i = 0; i < n; ++i) {
            if (i + Ahead < n) {
                __builtin_prefetch(fieldOf(std::uint32_t(i + Ahead)).data());
            }
            const QByteArrayView f = fieldOf(std::uint32_t(i));
            items_[i] = {keyAt(f, 0), std::uint32_t(i), std::uint32_t(f.size())};
            textAt_[i] = f.data();
            for (size_t c = 0; c < KeptChunks; ++c) {
                keptKeys_[i * KeptChunks + c] = keyAt(f, qsizetype(c + 1) * ChunkSize);
            }
        }
        // A chunk at a time: every group of items whose texts agree so far is sorted on its chunk, and the runs of
        // equal keys whose texts go on past it form the groups of the next chunk. All the rows of one chunk's
        // groups are read together, so that their reads overlap.
        std::vector<Group> groups{{0, std::uint32_t(n)}};
        for (qsizetype offset = 0; !groups.empty(); offset += ChunkSize) {
            const qsizetype next = offset + ChunkSize;
            const bool kept = size_t(next / ChunkSize) <= KeptChunks;
            std::vector<Group> ties;
            std::vector<std::uint32_t> places;
            // Small runs past the kept chunks, mostly rows with equal texts, are sorted by comparing the texts:
            // one read of each instead of one for every further chunk.
            std::vector<Group> smallTies;
            for (const Group &g : groups) {
                sortByKey(g.begin, g.end);
                for (std::uint32_t from = g.begin; from < g.end;) {
                    std::uint32_t to = from + 1;
                    while (to < g.end && items_[to].key == items_[from].key) {
                        ++to;
                    }
                    if (to - from > 1 && !endsField(items_[from].key)) {
                        if (!kept && to - from <= SmallGroup) {
                            smallTies.push_back({from, to});
                        } else {
                            ties.push_back({from, to});
                            for (std::uint32_t i = from; i < to; ++i) {
                                places.push_back(i);
                            }
                        }
                    }
                    from = to;
                }
            }
            takeChunk(places, next);
            sortByText(smallTies, offset);
            groups = std::move(ties);
        }
        kept_.release();
        keptKeys_ = nullptr;
        texts_.release();
        textAt_ = nullptr;
        std::vector<std::uint32_t> rows(n);
        for (size_t i = 0; i < n; ++i) {
            rows[i] = items_[i].row;
        }
        moveIntoOrder(rows);
        return rows;
    }

private:
    struct Group {
        std::uint32_t begin;
        std::uint32_t end;
    };

    QByteArrayView fieldOf(std::uint32_t row) const { return entries_[row].field(field_); }
    QByteArrayView textOf(const Item &item) const { return {textAt_[item.row], qsizetype(item.size)}; }

    // The key of the text from byte `offset`, inverted when descending.
    std::uint64_t keyAt(QByteArrayView text, qsizetype offset) const
    {
        const std::uint64_t key = order_.key(text, offset);
        return ascending_ ? key : ~key;
    }

    // Whether the chunk the key stands for holds the text's end: then rows with equal keys have equal texts, as
    // no character weighs zero.
    bool endsField(std::uint64_t key) const { return (ascending_ ? key : ~key) % 256 == 0; }

    // Puts the key of the chunk at `offset` into the items at the given places.
    void takeChunk(const std::vector<std::uint32_t> &places, qsizetype offset)
    {
        const size_t n = places.size();
        const auto rowAt = [&](size_t i) { return items_[places[i]].row; };
        if (const auto chunk = size_t(offset / ChunkSize); chunk <= KeptChunks) {
            for (size_t i = 0; i < n; ++i) {
                if (i + Ahead < n) {
                    __builtin_prefetch(&keptKeys_[rowAt(i + Ahead) * KeptChunks + chunk - 1]);
                }
                items_[places[i]].key = keptKeys_[rowAt(i) * KeptChunks + chunk - 1];
            }
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            if (i + 2 * Ahead < n) {
                __builtin_prefetch(&textAt_[rowAt(i + 2 * Ahead)]);
            }
            if (i + Ahead < n) {
                prefetchText(items_[places[i + Ahead]], offset);
            }
            Item &item = items_[places[i]];
            item.key = keyAt(textOf(item), offset);
        }
    }

    // Asks for the text from `offset` on.
    void prefetchText(const Item &item, qsizetype offset) const
    {
        __builtin_prefetch(textAt_[item.row] + std::min(offset, qsizetype(item.size)));
    }

    // Sorts each group by the texts from `offset` on, the keys being equal; the rows of the groups ahead are asked
    // for while one is sorted.
    void sortByText(const std::vector<Group> &groups, qsizetype offset)
    {
        const auto rest = [&](const Item &item) {
            const QByteArrayView f = textOf(item);
            return f.sliced(std::min(offset, f.size()));
        };
        size_t entryAhead = 0; // the next group, and its next item, whose field's start is to be asked for
        std::uint32_t entryItem = groups.empty() ? 0 : groups[0].begin;
        size_t textAhead = 0; // the same for the texts
        std::uint32_t textItem = entryItem;
        const auto advance = [&](size_t &group, std::uint32_t &item, size_t count, auto &&ask) {
            for (; count > 0 && group < groups.size(); --count) {
                ask(items_[item]);
                if (++item == groups[group].end && ++group < groups.size()) {
                    item = groups[group].begin;
                }
            }
        };
        const auto askEntry = [&](const Item &item) { __builtin_prefetch(&textAt_[item.row]); };
        const auto askText = [&](const Item &item) { prefetchText(item, offset); };
        advance(entryAhead, entryItem, 2 * Ahead, askEntry);
        advance(textAhead, textItem, Ahead, askText);
        for (const Group &g : groups) {
            advance(entryAhead, entryItem, g.end - g.begin, askEntry);
            advance(textAhead, textItem, g.end - g.begin, askText);
            std::sort(items_ + g.begin, items_ + g.end, [&](const Item &a, const Item &b) {
                // Rows that tie this far mostly hold the same bytes, which a plain comparison finds quickest.
                const QByteArrayView x = rest(a);
                const QByteArrayView y = rest(b);
                const int c = x == y ? 0 : order_.compare(x, y);
                return c != 0 ? (ascending_ ? c < 0 : c > 0) : a.row < b.row;
            });
        }
    }

    // Sorts items [begin, end) by key; items with equal keys keep their rows' order.
    void sortByKey(std::uint32_t begin, std::uint32_t end)
    {
        if (end - begin > SmallGroup) {
            radixSort(begin, end);
            return;
        }
        std::sort(items_ + begin, items_ + end,
                  [](const Item &a, const Item &b) { return a.key != b.key ? a.key < b.key : a.row < b.row; });
    }

    // Moves the entries into the given order through the block. The reads lie anywhere in memory and do not
    // depend on each other, so the processor overlaps them, where following the order's cycles in place would
    // wait for one entry after the other.
    void moveIntoOrder(const std::vector<std::uint32_t> &rows)
    {
        const size_t n = rows.size();
        auto *moved = reinterpret_cast<Entry *>(items_);
        for (size_t i = 0; i < n; ++i) {
            if (i + Ahead < n) {
                __builtin_prefetch(&entries_[rows[i + Ahead]]);
            }
            std::construct_at(moved + i, std::move(entries_[rows[i]]));
        }
        for (size_t i = 0; i < n; ++i) {
            entries_[i] = std::move(moved[i]);
            std::destroy_at(moved + i);
        }
    }

    // A stable sort of items [begin, end) by key. A group larger than the processor's caches is first split by the
    // highest byte; each part is then sorted in cache, and the bytes that all of a part's keys share, as "ttps://"
    // after "h" does, cost it nothing.
    void radixSort(size_t begin, size_t end)
    {
        if (end - begin <= CachedGroup) {
            sortBytes(begin, end);
            return;
        }
        std::array<std::uint32_t, 257> starts{};
        for (size_t i = begin; i < end; ++i) {
            ++starts[(items_[i].key >> 56) + 1];
        }
        if (std::count(starts.begin(), starts.end(), 0) == 256) {
            sortBytes(begin, end); // one part: the highest byte costs no pass anyway
            return;
        }
        for (size_t b = 1; b < starts.size(); ++b) {
            starts[b] += starts[b - 1];
        }
        std::array<std::uint32_t, 256> at{};
        std::copy(starts.begin(), starts.end() - 1, at.begin());
        for (size_t i = begin; i < end; ++i) {
            spare_[begin + at[items_[i].key >> 56]++] = items_[i];
        }
        std::copy(spare_ + begin, spare_ + end, items_ + begin);
        for (size_t b = 0; b < 256; ++b) {
            if (starts[b + 1] - starts[b] > 1) {
                sortByKey(std::uint32_t(begin + starts[b]), std::uint32_t(begin + starts[b + 1]));
            }
        }
    }

    // A stable sort of items [begin, end) by key, a byte at a time from the lowest; a byte that all keys share
    // costs no pass.
    void sortBytes(size_t begin, size_t end)
    {
        std::array<std::array<std::uint32_t, 256>, ChunkSize> counts{};
        for (size_t i = begin; i < end; ++i) {
            const std::uint64_t key = items_[i].key;
            for (size_t b = 0; b < ChunkSize; ++b) {
                ++counts[b][(key >> (8 * b)) % 256];
            }
        }
        Item *from = items_ + begin;
        Item *to = spare_ + begin;
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
        if (from != items_ + begin) {
            std::copy(from, from + n, items_ + begin);
        }
    }

    std::vector<Entry> &entries_;
    const Entry::Field field_;
    const TextOrder &order_;
    const bool ascending_;
    PageBlock block_;
    Item *items_ = nullptr;
    Item *spare_ = nullptr;
    // The keys of each row's kept chunks, row after row.
    PageBlock kept_;
    PageBlock texts_;
    const char **textAt_ = nullptr;
    std::uint64_t *keptKeys_ = nullptr;
};

} // namespace

std::vector<std::uint32_t> sortEntries(std::vector<Entry> &entries, Entry::Field field, const TextOrder &order,
                                       bool ascending)
{
    return Sorter(entries, field, order, ascending).run();
}
