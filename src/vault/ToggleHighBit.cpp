#include "vault/ToggleHighBit.h"

#include "vault/CodePage1252.h"

void toggleHighBitInto(const char *src, char *dst, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        dst[i] = char(src[i] ^ 0x80);
    }
}

QByteArray ToggleHighBit(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    toggleHighBitInto(bytes.data(), out.data(), bytes.size());
    return out;
}

QString ToggleHighBit(const QString &text)
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
