#include "rtf/RtfTextDecoder.h"

bool RtfTextDecoder::pageWord(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::Ansi:
        documentPage_ = RtfCodePage::Windows1252;
        return true;
    case RtfKeyword::OtherCharacterSet:
        documentPage_ = RtfCodePage::OtherSingleByte;
        return true;
    case RtfKeyword::AnsiCodePage:
        if (token.hasParameter) {
            documentPage_ = rtfCodePageFromNumber(token.parameter);
        }
        return true;
    default:
        return false;
    }
}

void RtfTextDecoder::resetAtGroup()
{
    skipCount_ = 0;
    expectTrailByte_ = false;
}

char32_t RtfTextDecoder::decodeUnicode(int parameter, int skip)
{
    // Values are signed 16-bit numbers; writers of characters beyond U+FFFF either write surrogate pairs
    // or, less often, the code point itself.
    qint64 value = parameter;
    if (value < 0) {
        value += 65536;
    }
    skipCount_ = skip;
    return (value < 0 || value > 0x10FFFF) ? char32_t(replacementCharacter) : char32_t(value);
}
