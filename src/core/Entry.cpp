#include "core/Entry.h"

#include "core/CodePage1252.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr QByteArrayView Separator("|||");

// Where the first "|||" at or after `from` begins, or -1. A load runs this twice on every line of the vault, where
// a general substring search costs more than the rest of the line's reading.
qsizetype findSeparator(QByteArrayView line, qsizetype from)
{
    if (line.size() - from < Separator.size()) {
        return -1; // also keeps the null data() of an empty line away from memchr
    }
    const char *begin = line.data();
    const char *at = begin + from;
    const char *last = begin + line.size() - 2; // the last place a separator can begin, plus one
    while (at < last) {
        at = static_cast<const char *>(std::memchr(at, '|', size_t(last - at)));
        if (!at) {
            return -1;
        }
        if (at[1] == '|' && at[2] == '|') {
            return at - begin;
        }
        ++at;
    }
    return -1;
}

// A field end as the entry keeps it. A line longer than MaxEnd cannot come from the vault file (VaultFile::MaxSize)
// nor be typed; should one come all the same, its ends stop at MaxEnd instead of wrapping to the line's start.
quint32 endAt(qsizetype position)
{
    return quint32(std::min<qsizetype>(position, Entry::MaxEnd));
}

} // namespace

Entry::Entry() : line_(QByteArrayLiteral("||||||")) {}

Entry Entry::fromPlainLine(QByteArray line)
{
    const qsizetype first = findSeparator(line, 0);
    const qsizetype second = first < 0 ? -1 : findSeparator(line, first + Separator.size());
    Entry e;
    e.usernameEnd_ = endAt(first < 0 ? line.size() : first);
    e.passwordEnd_ = endAt(second < 0 ? line.size() : second);
    e.line_ = std::move(line);
    return e;
}

Entry Entry::fromFields(QByteArrayView username, QByteArrayView password, QByteArrayView location)
{
    Entry e;
    e.line_.clear();
    e.line_.reserve(username.size() + password.size() + location.size() + 2 * Separator.size());
    e.line_.append(username).append(Separator).append(password).append(Separator).append(location);
    e.usernameEnd_ = endAt(username.size());
    e.passwordEnd_ = endAt(username.size() + Separator.size() + password.size());
    return e;
}

Entry Entry::fromText(const QString &username, const QString &password, const QString &location)
{
    QByteArray u, p, l;
    CodePage1252::fromUnicode(username, u);
    CodePage1252::fromUnicode(password, p);
    CodePage1252::fromUnicode(location, l);
    return fromFields(u, p, l);
}

QByteArrayView Entry::field(Field f) const
{
    const QByteArrayView all(line_);
    // A field starts after the separator that ends the one before it, or at the end of a line that has none.
    const auto startAfter = [&](quint32 end) {
        return std::min<qsizetype>(qsizetype(end) + Separator.size(), all.size());
    };
    switch (f) {
    case Username:
        return all.first(usernameEnd_);
    case Password: {
        // Both ends stopped at MaxEnd: empty, not a negative length.
        const qsizetype start = startAfter(usernameEnd_);
        return all.sliced(start, std::max<qsizetype>(qsizetype(passwordEnd_) - start, 0));
    }
    case Location:
        return all.sliced(startAfter(passwordEnd_));
    }
    return {};
}

QString Entry::text(Field f) const
{
    return CodePage1252::toUnicode(field(f));
}
