#pragma once

#include "core/Entry.h"
#include "core/VaultFormat.h"

#include <QByteArray>

#include <vector>

// The vault that save number k of the crash test writes. Every save differs from its neighbours in size and in
// every line, so a file made of pieces of two saves can never pass for either of them. Both the saver that gets
// killed and the test that checks what it left behind build the content from k alone.
namespace SaveSeries {

inline QByteArray content(quint64 k)
{
    // 150 to 549 entries, about 10 to 35 KB: large enough that a kill often lands in the middle of the writing.
    const quint64 count = 150 + (k * 61) % 400;
    std::vector<Entry> entries;
    entries.reserve(count);
    for (quint64 i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(k) + '.' + QByteArray::number(i);
        entries.push_back(Entry::fromFields("user" + n, "pw-" + n + "-\xe9\xdf", "https://site" + n + ".example/"));
    }
    return VaultFormat::serialize("series-" + QByteArray::number(k % 7), entries);
}

} // namespace SaveSeries
