// The text side of RtfParser: bytes and Unicode escapes decoded into UTF-16 and handed to the document,
// the font table or nowhere, depending on the destination.

#include "rtf/RtfParser.h"

namespace {

constexpr qsizetype maxFontNameLength = 256;
constexpr char16_t replacementCharacter = u'\uFFFD';

constexpr bool isPrintableAscii(char c)
{
    return c >= 0x20 && c < 0x7F;
}

// Characters that would make QTextDocument start blocks or frames behind our back, or that are not text.
char16_t sanitized(char16_t unit)
{
    if (unit < 0x20) {
        return unit == u'\t' ? unit : 0;
    }
    switch (unit) {
    case 0x2029:
        return 0x2028; // keep paragraph breaks to \par, which the output limit counts
    case 0xFDD0:       // QTextDocument's frame markers
    case 0xFDD1:
    case 0xFFFC: // object replacement: there is no object behind it
    case 0xFFFE:
    case 0xFFFF:
        return replacementCharacter;
    default:
        return unit;
    }
}

} // namespace

void RtfParser::handleText(QByteArrayView text)
{
    const Destination destination = state().destination;
    if (destination == Destination::Skip) {
        return;
    }
    const RtfCodePage page = currentPage();
    // Most text is printable ASCII, which every page but the symbol fonts' leaves as it is: it goes to the
    // document a stretch at a time rather than byte by byte.
    const bool asciiIsText = destination == Destination::Text && !state().chars.hidden && !rtfIsSymbolPage(page);
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = text[i];
        // Line ends in RTF are only there to keep lines short; they are not text and not skippable.
        if (c == '\r' || c == '\n') {
            ++i;
        } else if (skipCount_ > 0) {
            --skipCount_;
            ++i;
        } else if (asciiIsText && !expectTrailByte_ && isPrintableAscii(c)) {
            qsizetype end = i + 1;
            while (end < size && isPrintableAscii(text[end])) {
                ++end;
            }
            flushLoneSurrogate();
            syncCharFormat();
            writer_.append(QLatin1StringView(text.sliced(i, end - i)));
            i = end;
        } else {
            handleByte(uchar(c), true, page);
            ++i;
        }
    }
}

void RtfParser::handleByte(uchar byte, bool raw, RtfCodePage page)
{
    switch (state().destination) {
    case Destination::Skip:
        return;
    case Destination::ColorTable:
        if (raw && byte == ';') {
            commitColor();
        }
        return;
    case Destination::FontTable:
        if (raw && byte == ';') {
            commitFont();
            return;
        }
        break;
    case Destination::Text:
        break;
    }
    if (expectTrailByte_) {
        expectTrailByte_ = false;
        return;
    }
    if (rtfIsLeadByte(page, byte)) {
        expectTrailByte_ = true;
        emitCharacter(replacementCharacter);
        return;
    }
    emitCharacter(rtfDecodeByte(page, byte));
}

void RtfParser::handleUnicode(int parameter)
{
    // Values are signed 16-bit numbers; writers of characters beyond U+FFFF either write surrogate pairs
    // or, less often, the code point itself.
    qint64 value = parameter;
    if (value < 0) {
        value += 65536;
    }
    emitCharacter((value < 0 || value > 0x10FFFF) ? char32_t(replacementCharacter) : char32_t(value));
    skipCount_ = state().unicodeSkip;
}

void RtfParser::emitCharacter(char32_t character)
{
    switch (state().destination) {
    case Destination::Text:
        if (state().chars.hidden) {
            return;
        }
        if (character > 0xFFFF) {
            emitUtf16(QChar::highSurrogate(character));
            emitUtf16(QChar::lowSurrogate(character));
        } else {
            emitUtf16(char16_t(character));
        }
        return;
    case Destination::FontTable:
        if (character >= 0x20 && character <= 0xFFFF && !QChar::isSurrogate(character) &&
            pendingFontName_.size() < maxFontNameLength) {
            pendingFontName_.append(QChar(char16_t(character)));
        }
        return;
    case Destination::Skip:
    case Destination::ColorTable:
        return;
    }
}

void RtfParser::emitUtf16(char16_t unit)
{
    if (QChar::isHighSurrogate(unit)) {
        flushLoneSurrogate();
        highSurrogate_ = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (highSurrogate_ == 0) {
            unit = replacementCharacter;
        } else {
            const char16_t pair[2] = {highSurrogate_, unit};
            highSurrogate_ = 0;
            syncCharFormat();
            writer_.append(QStringView(pair, 2));
            return;
        }
    } else {
        flushLoneSurrogate();
    }
    unit = sanitized(unit);
    if (unit == 0) {
        return;
    }
    syncCharFormat();
    writer_.append(unit);
}

void RtfParser::flushLoneSurrogate()
{
    if (highSurrogate_ == 0) {
        return;
    }
    highSurrogate_ = 0;
    syncCharFormat();
    writer_.append(replacementCharacter);
}

void RtfParser::paragraphBreak()
{
    if (state().destination != Destination::Text) {
        return;
    }
    flushLoneSurrogate();
    expectTrailByte_ = false;
    writer_.endParagraph(formats_.blockFormat(state().para), formats_.charFormat(state().chars));
}

RtfCodePage RtfParser::currentPage()
{
    if (state().destination == Destination::FontTable) {
        return pendingFontCharset_ < 0 ? documentPage_ : rtfCodePageFromCharset(pendingFontCharset_, {}, documentPage_);
    }
    return formats_.codePage(state().chars.font, documentPage_);
}

void RtfParser::syncCharFormat()
{
    const RtfCharState &chars = state().chars;
    if (formatSent_ && chars == sentChars_ && sentGeneration_ == formats_.generation()) {
        return;
    }
    writer_.setCharFormat(formats_.charFormat(chars));
    sentChars_ = chars;
    sentGeneration_ = formats_.generation();
    formatSent_ = true;
}
