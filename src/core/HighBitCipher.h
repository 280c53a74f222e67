#pragma once

#include <QByteArray>
#include <QString>

// The vault file's keyless cipher: bit 7 of every byte is inverted. It is its own inverse, so the same
// routine enciphers before writing and deciphers after reading. It hides text from a glance, nothing more.
namespace HighBitCipher {

QByteArray toggle(QByteArrayView bytes);

// The same on text: every character's Windows-1252 code gets bit 7 inverted. A character that the code page
// cannot hold has no code to invert and is returned unchanged.
QString toggle(const QString &text);

// Inverts bit 7 of `size` bytes from `src` into `dst` (which may equal `src`).
void toggleInto(const char *src, char *dst, qsizetype size);

} // namespace HighBitCipher
