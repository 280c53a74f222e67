// Lengths in RTF are twips, 1440 to the inch. The help window shows them at 96 pixels to the inch, and a length
// read from a document is bounded, so that a garbled one cannot push text out of sight.
#pragma once

#include "base/TwipsPerPixel.h"
#include "rtf/RtfTokenizer.h"

#include <QtGlobal>

namespace RtfTwips {

constexpr double perPixel = TwipsPerPixel;
constexpr int max = 31680; // 22 inches

// The token's parameter as a length, within ±max; a keyword without one means 0.
inline int of(const RtfToken &token)
{
    return token.hasParameter ? qBound(-max, token.parameter, max) : 0;
}

} // namespace RtfTwips
