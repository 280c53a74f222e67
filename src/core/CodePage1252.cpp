#include "core/CodePage1252.h"

#include "base/Windows1252.h"

namespace CodePage1252 {

char16_t toUnicode(unsigned char b)
{
    return Windows1252::toUnicode(b);
}

int toByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (int b = 0x80; b < 0xA0; ++b) {
        if (Windows1252::Table[b] == c) {
            return b;
        }
    }
    return -1;
}

QString toUnicode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char b : bytes) {
        *out++ = Windows1252::toUnicode(static_cast<unsigned char>(b));
    }
    return text;
}

bool fromUnicode(QStringView text, QByteArray &out, qsizetype *badIndex)
{
    out.resize(text.size());
    char *dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = toByte(text[i].unicode());
        if (b < 0) {
            if (badIndex) {
                *badIndex = i;
            }
            return false;
        }
        dst[i] = char(b);
    }
    return true;
}

} // namespace CodePage1252
