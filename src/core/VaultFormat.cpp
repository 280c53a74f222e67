#include "core/VaultFormat.h"

#include "core/HighBitCipher.h"

#include <cstring>

namespace {

// Walks the file line by line by the reader's rules. The line ends are given as they stand in the bytes walked:
// CR and LF in the file as stored, or their deciphered forms in a file deciphered whole.
class LineReader {
public:
    LineReader(QByteArrayView file, char cr = '\r', char lf = '\n') : file_(file), cr_(cr), lf_(lf) {}

    bool atEnd() const { return pos_ >= file_.size(); }
    qsizetype position() const { return pos_; }

    QByteArrayView next()
    {
        const char *begin = file_.data() + pos_;
        const auto rest = size_t(file_.size() - pos_);
        if (rest == 0) {
            // An empty file has no data pointer at all, and memchr must never be given a null one.
            return {};
        }
        const auto *cr = static_cast<const char *>(std::memchr(begin, cr_, rest));
        if (!cr) {
            pos_ = file_.size();
            return QByteArrayView(begin, qsizetype(rest));
        }
        const qsizetype length = cr - begin;
        pos_ += length + 1;
        if (pos_ < file_.size() && file_[pos_] == lf_) {
            ++pos_;
        }
        return QByteArrayView(begin, length);
    }

private:
    QByteArrayView file_;
    qsizetype pos_ = 0;
    char cr_;
    char lf_;
};

// The part [from, from + size) of `whole` as an array of its own that shares whole's memory: no copy, one more
// reference on the block.
QByteArray sharedPart(QByteArray &whole, qsizetype from, qsizetype size)
{
    QByteArray::DataPointer part = whole.data_ptr();
    part.ptr += from;
    part.size = size;
    return QByteArray(std::move(part));
}

constexpr char Deciphered(char c)
{
    return char(c ^ 0x80);
}

// Writes one enciphered line and its CR LF at `at`; returns the end of what it wrote.
char *putEnciphered(char *at, QByteArrayView plain)
{
    HighBitCipher::toggleInto(plain.data(), at, plain.size());
    at += plain.size();
    *at++ = '\r';
    *at++ = '\n';
    return at;
}

} // namespace

namespace VaultFormat {

QByteArrayView firstLine(QByteArrayView file)
{
    return LineReader(file).next();
}

std::vector<Entry> parse(QByteArray file)
{
    // Deciphered in place in one pass over the whole file; each entry's line stays a part of this one buffer, so a
    // million entries cost no allocation each. The reader's rules apply to the deciphered bytes: a line ends at a
    // deciphered CR, and the single space that is skipped is a deciphered one.
    char *bytes = file.data();
    HighBitCipher::toggleInto(bytes, bytes, file.size());
    std::vector<Entry> entries;
    LineReader reader(file, Deciphered('\r'), Deciphered('\n'));
    reader.next(); // the master password
    // Entry lines average well over 40 bytes; reserving avoids most regrowth of a large vault.
    entries.reserve(size_t(file.size() / 48));
    while (!reader.atEnd()) {
        const QByteArrayView line = reader.next();
        if (line.isEmpty() || (line.size() == 1 && line.front() == Deciphered(' '))) {
            continue;
        }
        entries.push_back(Entry::fromPlainLine(sharedPart(file, line.data() - bytes, line.size())));
    }
    return entries;
}

QByteArray emptyVault()
{
    return QByteArray("\r\n");
}

QByteArray passwordOnly(QByteArrayView masterPassword)
{
    QByteArray out(masterPassword.size() + 2, Qt::Uninitialized);
    putEnciphered(out.data(), masterPassword);
    return out;
}

QByteArray serialize(QByteArrayView masterPassword, const std::vector<Entry> &entries)
{
    // Sized once and filled through a pointer: at a million entries the bookkeeping of appending line by line
    // costs as much as the ciphering.
    qsizetype size = masterPassword.size() + 4;
    for (const Entry &e : entries) {
        size += e.plainLine().size() + 2;
    }
    QByteArray out(size, Qt::Uninitialized);
    char *at = putEnciphered(out.data(), masterPassword);
    for (const Entry &e : entries) {
        at = putEnciphered(at, e.plainLine());
    }
    *at++ = '\r';
    *at++ = '\n';
    Q_ASSERT(at == out.data() + out.size());
    return out;
}

} // namespace VaultFormat
