#include "rtf/RtfFontTableReader.h"

#include "rtf/RtfFormats.h"
#include "rtf/RtfTextDecoder.h"

namespace {

constexpr qsizetype maxFontNameLength = 256;

// The names under which older systems offered a font's other character sets ("Times New Roman CE"): the system
// these files come from shows them in the font itself, and no other system knows them.
QString withoutCharsetSuffix(QString name)
{
    for (const QStringView suffix :
         {u" CE", u" Cyr", u" Greek", u" Tur", u" Baltic", u" (Arabic)", u" (Hebrew)", u" (Vietnamese)"}) {
        if (name.endsWith(suffix) && name.size() > suffix.size()) {
            name.chop(suffix.size());
            break;
        }
    }
    return name;
}

} // namespace

void RtfFontTableReader::word(RtfKeyword keyword, const RtfToken &token, RtfCodePage documentPage)
{
    switch (keyword) {
    case RtfKeyword::Font:
        // Fonts listed without groups are each ended by a semicolon; a missing one must not merge two fonts.
        commit(documentPage);
        number_ = qMax(0, token.parameter);
        charset_ = -1;
        codePage_ = 0;
        name_.clear();
        break;
    case RtfKeyword::FontCharset:
        charset_ = token.parameter;
        break;
    case RtfKeyword::FontCodePage:
        codePage_ = qMax(0, token.parameter);
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
    font.name = withoutCharsetSuffix(name_.trimmed());
    font.page = charset_ < 0 ? documentPage : rtfCodePageFromCharset(charset_, font.name, documentPage);
    font.codePage = ownCodePage(font.name);
    formats_.addFont(number_, font);
    number_ = -1;
    charset_ = -1;
    codePage_ = 0;
    name_.clear();
}

int RtfFontTableReader::textCodePage(int documentPage) const
{
    const int own = ownCodePage(name_);
    return own == 0 ? documentPage : own;
}

// The charset wins over \cpg, as in the word processors that write both; the default charset (1) defers to the
// document's page.
int RtfFontTableReader::ownCodePage(QStringView name) const
{
    if (charset_ == 2) {
        return name.contains(u"Wingdings", Qt::CaseInsensitive) ? RtfTextDecoder::wingdingsPage
                                                                : RtfTextDecoder::symbolPage;
    }
    const int page = charset_ < 0 ? 0 : rtfWindowsCodePageOfCharset(charset_);
    return page != 0 ? page : codePage_;
}
