#include "rtf/RtfTextReader.h"

#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfListReader.h"
#include "rtf/RtfTextDecoder.h"

namespace {

constexpr char16_t replacementCharacter = RtfTextDecoder::replacementCharacter;

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

char16_t RtfTextReader::shown(char16_t unit)
{
    return sanitized(unit);
}

void RtfTextReader::appendAscii(QLatin1StringView text, const RtfCharState &chars, const RtfParaState &para)
{
    flushLoneSurrogate(chars, para);
    syncCharFormat(chars, para);
    writer_.append(text);
}

void RtfTextReader::appendCharacter(char32_t character, const RtfCharState &chars, const RtfParaState &para)
{
    if (chars.hidden) {
        return;
    }
    if (character > 0xFFFF) {
        appendUtf16(QChar::highSurrogate(character), chars, para);
        appendUtf16(QChar::lowSurrogate(character), chars, para);
    } else {
        appendUtf16(char16_t(character), chars, para);
    }
}

void RtfTextReader::appendText(QStringView text, const RtfCharState &chars, const RtfParaState &para)
{
    if (chars.hidden) {
        return;
    }
    // Tabs and line separators go one by one: the document writer charges them as more than a character.
    const auto ordinary = [](QChar c) {
        return c >= u' ' && c != QChar::LineSeparator && !c.isSurrogate() && sanitized(c.unicode()) == c.unicode();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        qsizetype end = i;
        while (end < text.size() && ordinary(text[end])) {
            ++end;
        }
        if (end > i) {
            flushLoneSurrogate(chars, para);
            syncCharFormat(chars, para);
            writer_.append(text.sliced(i, end - i));
            i = end;
        } else {
            appendUtf16(text[i].unicode(), chars, para);
            ++i;
        }
    }
}

void RtfTextReader::appendUtf16(char16_t unit, const RtfCharState &chars, const RtfParaState &para)
{
    if (QChar::isHighSurrogate(unit)) {
        flushLoneSurrogate(chars, para);
        highSurrogate_ = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (highSurrogate_ == 0) {
            unit = replacementCharacter;
        } else {
            const char16_t pair[2] = {highSurrogate_, unit};
            highSurrogate_ = 0;
            syncCharFormat(chars, para);
            writer_.append(QStringView(pair, 2));
            return;
        }
    } else {
        flushLoneSurrogate(chars, para);
    }
    unit = sanitized(unit);
    if (unit == 0) {
        return;
    }
    syncCharFormat(chars, para);
    writer_.append(unit);
}

void RtfTextReader::flushLoneSurrogate(const RtfCharState &chars, const RtfParaState &para)
{
    if (highSurrogate_ == 0) {
        return;
    }
    highSurrogate_ = 0;
    syncCharFormat(chars, para);
    writer_.append(replacementCharacter);
}

void RtfTextReader::endParagraph(const RtfCharState &chars, const RtfParaState &para)
{
    flushLoneSurrogate(chars, para);
    if (!paragraphStarted_) {
        startParagraph(chars, para);
    }
    writer_.endParagraph(paragraphFormat(para), formats_.charFormat(chars), para.tableDepth());
    paragraphStarted_ = false;
}

void RtfTextReader::endCell(const RtfRowDef &row, int depth, const RtfCharState &chars, const RtfParaState &para)
{
    if (para.tableDepth() == 0 && !writer_.rowOpen()) {
        // A cell end outside any table separates like a tab.
        appendCharacter(u'\t', chars, para);
        return;
    }
    flushLoneSurrogate(chars, para);
    if (!paragraphStarted_) {
        startParagraph(chars, para);
    }
    writer_.endCell(paragraphFormat(para), formats_.charFormat(chars), depth, row);
    paragraphStarted_ = false;
}

void RtfTextReader::endRow(const RtfRowDef &row, int depth, const RtfCharState &chars, const RtfParaState &para)
{
    if (para.tableDepth() == 0 && !writer_.rowOpen()) {
        endParagraph(chars, para);
        return;
    }
    flushLoneSurrogate(chars, para);
    writer_.endRow(row, depth);
    paragraphStarted_ = false;
}

bool RtfTextReader::takesImage() const
{
    return writer_.takesImage();
}

void RtfTextReader::appendImage(const QImage &image, QSizeF size, const RtfCharState &chars, const RtfParaState &para)
{
    if (!paragraphStarted_) {
        startParagraph(chars, para);
    }
    writer_.appendImage(image, size);
}

void RtfTextReader::finish(const RtfCharState &chars, const RtfParaState &para)
{
    flushLoneSurrogate(chars, para);
    writer_.finish(paragraphFormat(para), formats_.charFormat(chars));
}

void RtfTextReader::startParagraph(const RtfCharState &chars, const RtfParaState &para)
{
    paragraphStarted_ = true;
    writer_.setParagraphDepth(para.tableDepth());
    const RtfListReader::Label label = lists_.startParagraph(para, chars, decoder_.documentPage());
    if (label.text.isEmpty() || chars.hidden) {
        return;
    }
    QString shown;
    for (const QChar c : label.text) {
        if (const char16_t unit = sanitized(c.unicode()); unit != 0) {
            shown.append(QChar(unit));
        }
    }
    writer_.setCharFormat(formats_.charFormat(label.chars));
    writer_.append(QStringView(shown));
    formatSent_ = false;
}

void RtfTextReader::syncCharFormat(const RtfCharState &chars, const RtfParaState &para)
{
    if (!paragraphStarted_) {
        startParagraph(chars, para);
    }
    if (formatSent_ && chars == sentChars_ && sentGeneration_ == formats_.generation()) {
        return;
    }
    writer_.setCharFormat(formats_.charFormat(chars));
    sentChars_ = chars;
    sentGeneration_ = formats_.generation();
    formatSent_ = true;
}

QTextBlockFormat RtfTextReader::paragraphFormat(const RtfParaState &para)
{
    const RtfLists::Level *level = lists_.indentsFor(para);
    if (level == nullptr) {
        return formats_.blockFormat(para);
    }
    RtfParaState indented = para;
    indented.leftTwips = level->leftTwips;
    indented.firstLineTwips = level->firstLineTwips;
    return formats_.blockFormat(indented);
}
