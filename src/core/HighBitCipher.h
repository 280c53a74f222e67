#pragma once

#include <QtGlobal>

// The vault file's keyless cipher: bit 7 of every byte is inverted. It is its own inverse, so the same
// routine enciphers before writing and deciphers after reading. It hides text from a glance, nothing more.
namespace HighBitCipher {

// Inverts bit 7 of `size` bytes from `src` into `dst` (which may equal `src`).
void toggleInto(const char *src, char *dst, qsizetype size);

} // namespace HighBitCipher
