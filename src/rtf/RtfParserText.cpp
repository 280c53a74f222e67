// The text side of RtfParser: bytes and Unicode escapes decoded into UTF-16 and handed to the document,
// the font table or nowhere, depending on the destination.

#include "rtf/RtfParser.h"

#include <algorithm>

namespace {

constexpr qsizetype maxFontNameLength = 256;
constexpr qsizetype maxFieldInstructionLength = 2048;
constexpr qsizetype maxLabelLength = 64;
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
    if (destination == Destination::Picture) {
        picture_.addHex(text);
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
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::Pn:
    case Destination::Picture:
        return;
    case Destination::LevelText:
        // \'00 to \'08 stand for the numbers of the levels, and the first byte is the text's length.
        if (!raw && byte < 0x20) {
            appendPartText(byte);
            return;
        }
        break;
    case Destination::FieldInstruction:
    case Destination::ListText:
    case Destination::PnText:
        break;
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
    case Destination::FieldInstruction:
    case Destination::ListText:
    case Destination::LevelText:
    case Destination::PnText:
        if (character <= 0xFFFF) {
            appendPartText(char16_t(character));
        }
        return;
    case Destination::Skip:
    case Destination::ColorTable:
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::Pn:
    case Destination::Picture:
        return;
    }
}

void RtfParser::appendPartText(char16_t unit)
{
    const auto appendTo = [unit](QString &text, qsizetype maxLength) {
        if (text.size() < maxLength) {
            text.append(QChar(unit));
        }
    };
    switch (state().destination) {
    case Destination::FieldInstruction:
        appendTo(fieldInstruction_, maxFieldInstructionLength);
        break;
    case Destination::ListText:
        appendTo(listText_, maxLabelLength);
        break;
    case Destination::LevelText:
        appendTo(levelText_, maxLabelLength);
        break;
    case Destination::PnText:
        appendTo(pnTextAfter_ ? pendingPn_.after : pendingPn_.before, maxLabelLength);
        break;
    default:
        break;
    }
}

// A list paragraph begins with its number or bullet. Writers put their own rendering of it in \listtext,
// for readers without lists; where that shows no number (a tab alone), the number comes from the list
// tables or the old-style numbering, and a level that shows nothing puts nothing there at all.
void RtfParser::startParagraphText()
{
    paragraphTextStarted_ = true;
    const RtfParaState &para = state().para;
    writer_.setParagraphInTable(para.inTable);

    bool inList = true;
    QString numbered;
    if (para.listOverride != 0 && lists_.knows(para.listOverride, para.listLevel)) {
        numbered = lists_.nextLabel(para.listOverride, para.listLevel, formats_, documentPage_);
    } else if (para.pn >= 0) {
        numbered = lists_.nextPnLabel(para.pn);
    } else {
        inList = false;
        lists_.paragraphWithoutList();
    }
    if (!std::exchange(hasListText_, false)) {
        return;
    }
    const QString written = std::exchange(listText_, QString());
    const bool writtenShowsNumber = std::any_of(written.cbegin(), written.cend(), [](QChar c) { return !c.isSpace(); });
    const bool useNumbered = inList && !writtenShowsNumber;
    const QString label = useNumbered ? numbered : written;
    if (label.isEmpty() || state().chars.hidden) {
        return;
    }
    QString shown;
    for (const QChar c : label) {
        if (const char16_t unit = sanitized(c.unicode()); unit != 0) {
            shown.append(QChar(unit));
        }
    }
    writer_.setCharFormat(formats_.charFormat(useNumbered ? state().chars : listTextChars_));
    writer_.append(QStringView(shown));
    formatSent_ = false;
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
    if (!paragraphTextStarted_) {
        startParagraphText();
    }
    writer_.endParagraph(paragraphFormat(), formats_.charFormat(state().chars), state().para.inTable);
    paragraphTextStarted_ = false;
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
    if (!paragraphTextStarted_) {
        startParagraphText();
    }
    const RtfCharState &chars = state().chars;
    if (formatSent_ && chars == sentChars_ && sentGeneration_ == formats_.generation()) {
        return;
    }
    writer_.setCharFormat(formats_.charFormat(chars));
    sentChars_ = chars;
    sentGeneration_ = formats_.generation();
    formatSent_ = true;
}
