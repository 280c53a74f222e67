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
    if (unit < 0x20)
        return unit == u'\t' ? unit : 0;
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
    if (destination == Destination::Skip)
        return;
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
        } else if (m_skipCount > 0) {
            --m_skipCount;
            ++i;
        } else if (asciiIsText && !m_expectTrailByte && isPrintableAscii(c)) {
            qsizetype end = i + 1;
            while (end < size && isPrintableAscii(text[end]))
                ++end;
            flushLoneSurrogate();
            syncCharFormat();
            m_writer.append(QLatin1StringView(text.sliced(i, end - i)));
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
        if (raw && byte == ';')
            commitColor();
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
    if (m_expectTrailByte) {
        m_expectTrailByte = false;
        return;
    }
    if (rtfIsLeadByte(page, byte)) {
        m_expectTrailByte = true;
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
    if (value < 0)
        value += 65536;
    emitCharacter((value < 0 || value > 0x10FFFF) ? char32_t(replacementCharacter) : char32_t(value));
    m_skipCount = state().unicodeSkip;
}

void RtfParser::emitCharacter(char32_t character)
{
    switch (state().destination) {
    case Destination::Text:
        if (state().chars.hidden)
            return;
        if (character > 0xFFFF) {
            emitUtf16(QChar::highSurrogate(character));
            emitUtf16(QChar::lowSurrogate(character));
        } else {
            emitUtf16(char16_t(character));
        }
        return;
    case Destination::FontTable:
        if (character >= 0x20 && character <= 0xFFFF && !QChar::isSurrogate(character) &&
            m_pendingFontName.size() < maxFontNameLength)
            m_pendingFontName.append(QChar(char16_t(character)));
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
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (m_highSurrogate == 0) {
            unit = replacementCharacter;
        } else {
            const char16_t pair[2] = {m_highSurrogate, unit};
            m_highSurrogate = 0;
            syncCharFormat();
            m_writer.append(QStringView(pair, 2));
            return;
        }
    } else {
        flushLoneSurrogate();
    }
    unit = sanitized(unit);
    if (unit == 0)
        return;
    syncCharFormat();
    m_writer.append(unit);
}

void RtfParser::flushLoneSurrogate()
{
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    syncCharFormat();
    m_writer.append(replacementCharacter);
}

void RtfParser::paragraphBreak()
{
    if (state().destination != Destination::Text)
        return;
    flushLoneSurrogate();
    m_expectTrailByte = false;
    m_writer.endParagraph(m_formats.blockFormat(state().para), m_formats.charFormat(state().chars));
}

RtfCodePage RtfParser::currentPage()
{
    if (state().destination == Destination::FontTable) {
        return m_pendingFontCharset < 0 ? m_documentPage
                                        : rtfCodePageFromCharset(m_pendingFontCharset, {}, m_documentPage);
    }
    return m_formats.codePage(state().chars.font, m_documentPage);
}

void RtfParser::syncCharFormat()
{
    const RtfCharState &chars = state().chars;
    if (m_formatSent && chars == m_sentChars && m_sentGeneration == m_formats.generation())
        return;
    m_writer.setCharFormat(m_formats.charFormat(chars));
    m_sentChars = chars;
    m_sentGeneration = m_formats.generation();
    m_formatSent = true;
}
