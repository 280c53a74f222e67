#include "rtf/RtfDocumentWriter.h"

#include <QTextDocument>

#include <type_traits>

namespace {

// A paragraph longer than this goes into the document before its end, with the formatting of the paragraph
// before it, and gets its own formatting at its end: the held-back text stays small next to the document.
constexpr qsizetype flushThreshold = 64 * 1024;

// Each run of text costs QTextDocument far more than a character, in time and memory, and each block about
// twice as much again. A file can ask for one of them every few bytes; past this share of the character
// limit further paragraph breaks become line breaks and format changes are ignored, so that all the text
// is still there.
constexpr qsizetype charsPerPiece = 4;
constexpr qsizetype minPieces = 1024;
constexpr qsizetype piecesPerBlock = 2;

} // namespace

RtfDocumentWriter::RtfDocumentWriter(QTextDocument &document, qsizetype maxChars)
    : document_(document), maxChars_(qMax<qsizetype>(0, maxChars)),
      maxPieces_(qMax(minPieces, maxChars_ / charsPerPiece)), undoWasEnabled_(document.isUndoRedoEnabled())
{
    // An undo history of a load would hold a second copy of every fragment.
    document_.setUndoRedoEnabled(false);
    document_.clear();
    cursor_ = QTextCursor(&document_);
    cursor_.beginEditBlock();
}

RtfDocumentWriter::~RtfDocumentWriter()
{
    if (!finished_) {
        finish(lastBlock_, lastMark_);
    }
}

void RtfDocumentWriter::setCharFormat(const QTextCharFormat &format)
{
    format_ = format;
    formatChanged_ = true;
}

bool RtfDocumentWriter::reserve(qsizetype count)
{
    if (limitReached_) {
        return false;
    }
    if (count > maxChars_ - written_) {
        limitReached_ = true;
        return false;
    }
    written_ += count;
    return true;
}

bool RtfDocumentWriter::append(char16_t character)
{
    if (!reserve(1)) {
        return false;
    }
    writePendingLineBreak();
    text_.append(QChar(character));
    appended();
    return true;
}

template <class TextView> bool RtfDocumentWriter::appendText(TextView text)
{
    if (text.isEmpty()) {
        return !limitReached_;
    }
    qsizetype count = text.size();
    const bool fits = !limitReached_ && count <= maxChars_ - written_;
    if (!fits) {
        count = limitReached_ ? 0 : maxChars_ - written_;
        // Never keep half of a surrogate pair.
        if constexpr (std::is_same_v<TextView, QStringView>) {
            if (count > 0 && text[count - 1].isHighSurrogate()) {
                --count;
            }
        }
        limitReached_ = true;
    }
    if (count > 0) {
        written_ += count;
        writePendingLineBreak();
        text_.append(text.first(count));
        appended();
    }
    return fits;
}

bool RtfDocumentWriter::append(QStringView text)
{
    return appendText(text);
}

bool RtfDocumentWriter::append(QLatin1StringView text)
{
    return appendText(text);
}

void RtfDocumentWriter::writePendingLineBreak()
{
    if (lineBreakPending_) {
        lineBreakPending_ = false;
        text_.append(QChar::LineSeparator);
    }
}

void RtfDocumentWriter::appended()
{
    if (runs_.isEmpty() || (formatChanged_ && pieces_ < maxPieces_ && runs_.last().format != format_)) {
        runs_.append(Run{format_, text_.size()});
        ++pieces_;
    } else {
        runs_.last().end = text_.size();
    }
    formatChanged_ = false;
    if (text_.size() >= flushThreshold) {
        if (!blockStarted_) {
            startBlock(lastBlock_, lastMark_);
        }
        flushText();
    }
}

bool RtfDocumentWriter::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (!reserve(1)) {
        return false;
    }
    if (pieces_ + piecesPerBlock > maxPieces_) {
        // Written with the text that follows, if any, like the block of a paragraph.
        lineBreakPending_ = true;
        return true;
    }
    pieces_ += piecesPerBlock;
    writeBlock(block, mark);
    blockStarted_ = false;
    lastBlock_ = block;
    lastMark_ = mark;
    return true;
}

void RtfDocumentWriter::finish(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (finished_) {
        return;
    }
    finished_ = true;
    if (!text_.isEmpty() || blockStarted_ || !firstBlockUsed_) {
        writeBlock(block, mark);
    }
    cursor_.endEditBlock();
    document_.setUndoRedoEnabled(undoWasEnabled_);
}

void RtfDocumentWriter::writeBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (blockStarted_) {
        cursor_.setBlockFormat(block);
        cursor_.setBlockCharFormat(mark);
    } else {
        startBlock(block, mark);
    }
    flushText();
}

void RtfDocumentWriter::startBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (firstBlockUsed_) {
        cursor_.insertBlock(block, mark);
    } else {
        cursor_.setBlockFormat(block);
        cursor_.setBlockCharFormat(mark);
        firstBlockUsed_ = true;
    }
    blockStarted_ = true;
}

void RtfDocumentWriter::flushText()
{
    if (runs_.size() == 1) {
        cursor_.insertText(text_, runs_.first().format);
    } else {
        qsizetype start = 0;
        for (const Run &run : std::as_const(runs_)) {
            cursor_.insertText(text_.sliced(start, run.end - start), run.format);
            start = run.end;
        }
    }
    runs_.clear();
    text_.resize(0);
}
