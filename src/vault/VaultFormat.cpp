#include "vault/VaultFormat.h"

#include "vault/ToggleHighBit.h"

#include <cstring>

namespace {

// Walks the file line by line by the reader's rules.
class LineReader {
public:
    explicit LineReader(QByteArrayView file) : file_(file) {}

    bool atEnd() const { return pos_ >= file_.size(); }

    QByteArrayView next()
    {
        const char *begin = file_.data() + pos_;
        const auto rest = size_t(file_.size() - pos_);
        if (rest == 0) {
            // An empty file has no data pointer at all, and memchr must never be given a null one.
            return {};
        }
        const auto *cr = static_cast<const char *>(std::memchr(begin, '\r', rest));
        if (!cr) {
            pos_ = file_.size();
            return QByteArrayView(begin, qsizetype(rest));
        }
        const qsizetype length = cr - begin;
        pos_ += length + 1;
        if (pos_ < file_.size() && file_[pos_] == '\n') {
            ++pos_;
        }
        return QByteArrayView(begin, length);
    }

private:
    QByteArrayView file_;
    qsizetype pos_ = 0;
};

void appendEnciphered(QByteArray &out, QByteArrayView plain)
{
    const qsizetype at = out.size();
    out.resize(at + plain.size());
    toggleHighBitInto(plain.data(), out.data() + at, plain.size());
    out.append(VaultFormat::LineEnd, 2);
}

} // namespace

namespace VaultFormat {

QByteArrayView firstLine(QByteArrayView file)
{
    return LineReader(file).next();
}

Contents parse(QByteArrayView file)
{
    Contents contents;
    LineReader reader(file);
    contents.masterPassword = ToggleHighBit(reader.next());
    // Entry lines average well over 40 bytes; reserving avoids most regrowth of a large vault.
    contents.entries.reserve(size_t(file.size() / 48));
    while (!reader.atEnd()) {
        const QByteArrayView line = reader.next();
        if (line.isEmpty() || line == " ") {
            continue;
        }
        contents.entries.push_back(Entry::fromPlainLine(ToggleHighBit(line)));
    }
    return contents;
}

QByteArray emptyVault()
{
    return QByteArray(LineEnd);
}

QByteArray passwordOnly(QByteArrayView masterPassword)
{
    QByteArray out;
    appendEnciphered(out, masterPassword);
    return out;
}

QByteArray serialize(QByteArrayView masterPassword, const std::vector<Entry> &entries)
{
    qsizetype size = masterPassword.size() + 4;
    for (const Entry &e : entries) {
        size += e.plainLine().size() + 2;
    }
    QByteArray out;
    out.reserve(size);
    appendEnciphered(out, masterPassword);
    for (const Entry &e : entries) {
        appendEnciphered(out, e.plainLine());
    }
    out.append(LineEnd, 2);
    return out;
}

} // namespace VaultFormat
