#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the vault file. Every stored character is one byte; the five codes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same
// number, so that every byte read from a file comes back unchanged when it is written again.
namespace CodePage1252 {

// The character that byte b stands for.
char16_t toUnicode(unsigned char b);

// The byte for character c, or -1 when the code page has none.
int toByte(char16_t c);

QString toUnicode(QByteArrayView bytes);

// Converts text to bytes. Returns false, and leaves `out` unspecified, when a character has no byte; then
// `badIndex` (if given) receives the position of the first such character in the text.
bool fromUnicode(QStringView text, QByteArray &out, qsizetype *badIndex = nullptr);

} // namespace CodePage1252
