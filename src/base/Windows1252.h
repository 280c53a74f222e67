#pragma once

#include <array>

// Windows-1252, the code page of the vault file and of most RTF files. The five codes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters with the same numbers, as the
// Windows converter does, so that every byte has a character and comes back unchanged when written again.
namespace Windows1252 {

// The character of each byte; only 0x80 to 0x9F differ from Latin-1.
extern const std::array<char16_t, 256> Table;

// The character that byte stands for.
inline char16_t toUnicode(unsigned char byte)
{
    return Table[byte];
}

} // namespace Windows1252
