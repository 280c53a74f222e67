#pragma once

// Lengths of window designs and of RTF documents are twips, 1/1440 inch; the program shows them at 96 logical
// pixels to the inch, which makes 15 twips to a pixel. Qt scales logical pixels on screens of higher density.
inline constexpr int TwipsPerPixel = 15;
