#pragma once

#include "rtf/RtfFormats.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

// The words that set character and paragraph formatting, applied to the formatting of the group that reads them.
// Each returns false for a word that is not one of its own.
namespace RtfFormatWords {

// Character formatting (\b, \fs, \cf, \up, \scaps, ...) and the paragraph's alignment, direction, indents, spacing
// and background: read in the body and in every destination whose text is gathered (field instructions, list
// labels).
bool applyFormatting(RtfKeyword keyword, const RtfToken &token, RtfCharState &chars, RtfParaState &para);

// Where the paragraph stands: its tab stops and their leaders, its list (\ls, \ilvl) and whether it is in a table
// (\intbl). Read in the body only.
bool applyPlacement(RtfKeywordInfo info, const RtfToken &token, RtfParaState &para);

} // namespace RtfFormatWords
