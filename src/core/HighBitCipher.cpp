#include "core/HighBitCipher.h"

#include "core/CodePage1252.h"

#include <cstring>

namespace HighBitCipher {

void toggleInto(const char *src, char *dst, qsizetype size)
{
    // Eight bytes at a time: a save ciphers the whole vault, tens of megabytes at a million entries. memcpy makes
    // no assumption about alignment and reads each word before writing it, so src may equal dst.
    constexpr quint64 HighBits = 0x8080808080808080u;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, src + i, 8);
        word ^= HighBits;
        std::memcpy(dst + i, &word, 8);
    }
    for (; i < size; ++i) {
        dst[i] = char(src[i] ^ 0x80);
    }
}

QByteArray toggle(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    toggleInto(bytes.data(), out.data(), bytes.size());
    return out;
}

QString toggle(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const int b = CodePage1252::toByte(c.unicode());
        if (b >= 0) {
            c = QChar(CodePage1252::toUnicode(static_cast<unsigned char>(b ^ 0x80)));
        }
    }
    return out;
}

} // namespace HighBitCipher
