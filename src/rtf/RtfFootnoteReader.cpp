#include "rtf/RtfFootnoteReader.h"

#include "rtf/RtfTextDecoder.h"
#include "rtf/RtfTextReader.h"

#include <algorithm>

namespace {

// As the document writer bounds its own paragraphs and runs.
constexpr qsizetype charsPerNotePiece = 4;
constexpr qsizetype minNotePieces = 1024;
constexpr char16_t noteReplacement = RtfTextDecoder::replacementCharacter;
constexpr char16_t noteLineBreak = QChar::LineSeparator;

} // namespace

// Notes past what the view can lay out would never be shown: the layout's bounds cap what is gathered as well.
RtfFootnoteReader::RtfFootnoteReader(RtfFormats &formats, qsizetype maxChars, const RtfLayoutBudget::Bounds &bounds)
    : formats_(formats), maxChars_(qBound<qsizetype>(0, maxChars, bounds.characters)),
      maxPieces_(std::min({qMax(minNotePieces, maxChars_ / charsPerNotePiece), bounds.lines, bounds.runs}))
{}

void RtfFootnoteReader::begin()
{
    if (!open_) {
        open_ = true;
        ++count_;
    }
}

void RtfFootnoteReader::end(const RtfCharState &chars, const RtfParaState &para)
{
    if (!open_) {
        return;
    }
    // A note that ends with \par has no empty paragraph after it.
    if (!paragraph_.text.isEmpty() || highSurrogate_ != 0) {
        endParagraph(chars, para);
    }
    open_ = false;
}

void RtfFootnoteReader::appendCharacter(char32_t character, const RtfCharState &chars)
{
    if (character > 0xFFFF) {
        appendUnit(QChar::highSurrogate(character), chars);
        appendUnit(QChar::lowSurrogate(character), chars);
    } else {
        appendUnit(char16_t(character), chars);
    }
}

void RtfFootnoteReader::appendText(QStringView text, const RtfCharState &chars)
{
    for (const QChar c : text) {
        appendUnit(c.unicode(), chars);
    }
}

void RtfFootnoteReader::appendUnit(char16_t unit, const RtfCharState &chars)
{
    if (!open_ || chars.hidden) {
        return;
    }
    if (QChar::isHighSurrogate(unit)) {
        flushLoneSurrogate(chars);
        highSurrogate_ = unit;
    } else if (QChar::isLowSurrogate(unit)) {
        const char16_t pair[2] = {highSurrogate_, unit};
        highSurrogate_ = 0;
        store(pair[0] != 0 ? QStringView(pair, 2) : QStringView(&noteReplacement, 1), chars);
    } else if (const char16_t shown = RtfTextReader::shown(unit); shown != 0) {
        flushLoneSurrogate(chars);
        store(QStringView(&shown, 1), chars);
    }
}

void RtfFootnoteReader::flushLoneSurrogate(const RtfCharState &chars)
{
    if (highSurrogate_ != 0) {
        highSurrogate_ = 0;
        store(QStringView(&noteReplacement, 1), chars);
    }
}

void RtfFootnoteReader::store(QStringView text, const RtfCharState &chars)
{
    if (text.size() > maxChars_ - chars_) {
        return;
    }
    QList<RtfTextRun> &runs = paragraph_.runs;
    if (runs.isEmpty() || (chars != runChars_ && pieces_ < maxPieces_)) {
        runs.append(RtfTextRun{formats_.charFormat(chars), paragraph_.text.size()});
        runChars_ = chars;
        ++pieces_;
    }
    paragraph_.text.append(text);
    chars_ += text.size();
    runs.last().end = paragraph_.text.size();
}

void RtfFootnoteReader::endParagraph(const RtfCharState &chars, const RtfParaState &para)
{
    if (!open_) {
        return;
    }
    flushLoneSurrogate(chars);
    // Past the share for paragraphs the note goes on in the same paragraph, on a new line.
    if (pieces_ >= maxPieces_) {
        store(QStringView(&noteLineBreak, 1), chars);
        return;
    }
    ++pieces_;
    paragraph_.block = formats_.blockFormat(para);
    paragraph_.mark = formats_.charFormat(chars);
    notes_.append(std::exchange(paragraph_, RtfParagraph{}));
}

QList<RtfParagraph> RtfFootnoteReader::takeNotes()
{
    if (open_) {
        end(runChars_, RtfParaState{});
    }
    return std::exchange(notes_, {});
}
