#include "core/HighBitCipher.h"

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

} // namespace HighBitCipher
