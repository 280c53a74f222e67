#include "core/VaultFormat.h"

#include "core/HighBitCipher.h"

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

Contents parse(QByteArrayView file)
{
    Contents contents;
    LineReader reader(file);
    contents.masterPassword = HighBitCipher::toggle(reader.next());
    // Entry lines average well over 40 bytes; reserving avoids most regrowth of a large vault.
    contents.entries.reserve(size_t(file.size() / 48));
    while (!reader.atEnd()) {
        const QByteArrayView line = reader.next();
        if (line.isEmpty() || line == " ") {
            continue;
        }
        contents.entries.push_back(Entry::fromPlainLine(HighBitCipher::toggle(line)));
    }
    return contents;
}

QByteArray emptyVault()
{
    return QByteArray(LineEnd);
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
