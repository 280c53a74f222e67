#include "rtf/RtfFontTableReader.h"

#include "rtf/RtfFormats.h"

namespace {

constexpr qsizetype maxFontNameLength = 256;

} // namespace

void RtfFontTableReader::word(RtfKeyword keyword, const RtfToken &token, RtfCodePage documentPage)
{
    switch (keyword) {
    case RtfKeyword::Font:
        // Fonts listed without groups are each ended by a semicolon; a missing one must not merge two fonts.
        commit(documentPage);
        number_ = qMax(0, token.parameter);
        charset_ = -1;
        name_.clear();
        break;
    case RtfKeyword::FontCharset:
        charset_ = token.parameter;
        break;
    default:
        break;
    }
}

void RtfFontTableReader::appendToName(char32_t character)
{
    if (character >= 0x20 && character <= 0xFFFF && !QChar::isSurrogate(character) &&
        name_.size() < maxFontNameLength) {
        name_.append(QChar(char16_t(character)));
    }
}

void RtfFontTableReader::commit(RtfCodePage documentPage)
{
    if (number_ < 0) {
        return;
    }
    RtfFont font;
    font.name = name_.trimmed();
    font.page = charset_ < 0 ? documentPage : rtfCodePageFromCharset(charset_, font.name, documentPage);
    formats_.addFont(number_, font);
    number_ = -1;
    charset_ = -1;
    name_.clear();
}

RtfCodePage RtfFontTableReader::page(RtfCodePage documentPage) const
{
    return charset_ < 0 ? documentPage : rtfCodePageFromCharset(charset_, {}, documentPage);
}
