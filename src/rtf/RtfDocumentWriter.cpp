#include "rtf/RtfDocumentWriter.h"

#include <QImage>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <type_traits>

using namespace Qt::StringLiterals;

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
constexpr char16_t zeroWidthSpace = 0x200B;
constexpr qsizetype charsPerTab = 8;

} // namespace

RtfDocumentWriter::RtfDocumentWriter(QTextDocument &document, qsizetype maxChars, RtfLayoutBudget::Bounds layoutBounds)
    : document_(document), maxChars_(qMax<qsizetype>(0, maxChars)),
      maxPieces_(qMax(minPieces, maxChars_ / charsPerPiece)), budget_(layoutBounds),
      undoWasEnabled_(document.isUndoRedoEnabled())
{
    // An undo history of a load would hold a second copy of every fragment.
    document_.setUndoRedoEnabled(false);
    document_.clear();
    at_.cursor = QTextCursor(&document_);
    at_.cursor.beginEditBlock();
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

bool RtfDocumentWriter::stopForLayout()
{
    limitReached_ = true;
    layoutBoundReached_ = true;
    return false;
}

bool RtfDocumentWriter::append(char16_t character)
{
    if (limitReached_) {
        return false;
    }
    // A tab reaches the next tab stop, as wide as several characters.
    const qsizetype width = character == u'\t' ? charsPerTab : 1;
    const bool charged =
        character == QChar::LineSeparator ? budget_.chargeBreak(format_) : budget_.chargeText(width, format_) == width;
    if (!charged) {
        return stopForLayout();
    }
    if (!reserve(1)) {
        return false;
    }
    writePendingLineBreak();
    appendBreakable(QStringView(&character, 1));
    appended();
    return true;
}

template <class TextView> void RtfDocumentWriter::appendBreakable(TextView text)
{
    const qsizetype maxUnbroken = budget_.bounds().unbrokenChars;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar character(text[i]);
        if (character.isSpace()) {
            unbroken_ = 0;
        } else if (++unbroken_ > maxUnbroken && maxUnbroken > 0 && !character.isLowSurrogate() &&
                   written_ < maxChars_) {
            text_.append(text.sliced(start, i - start));
            text_.append(QChar(zeroWidthSpace));
            ++written_;
            start = i;
            unbroken_ = 1;
        }
    }
    text_.append(text.sliced(start));
}

template <class TextView> bool RtfDocumentWriter::appendText(TextView text)
{
    if (text.isEmpty()) {
        return !limitReached_;
    }
    qsizetype count = text.size();
    bool fits = !limitReached_ && count <= maxChars_ - written_;
    if (!fits) {
        count = limitReached_ ? 0 : maxChars_ - written_;
        limitReached_ = true;
    }
    if (count > 0) {
        if (const qsizetype shown = budget_.chargeText(count, format_); shown < count) {
            count = shown;
            fits = stopForLayout();
        }
    }
    if (count < text.size()) {
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
        appendBreakable(text.first(count));
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
        unbroken_ = 0;
    }
}

bool RtfDocumentWriter::takesImage() const
{
    // The picture's run and the text's run after it.
    return pieces_ + 2 * piecesPerBlock <= maxPieces_ && !limitReached_;
}

bool RtfDocumentWriter::appendImage(const QImage &image, QSizeF size)
{
    if (image.isNull() || !takesImage()) {
        return false;
    }
    if (!budget_.chargeRun() || !budget_.chargeHeight(size.height())) {
        return stopForLayout();
    }
    if (!reserve(1)) {
        return false;
    }
    writePendingLineBreak();
    const QString name = u"rtf-picture:%1"_s.arg(++imageCount_);
    document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    text_.append(QChar::ObjectReplacementCharacter);
    runs_.append(RtfTextRun{format, text_.size()});
    pieces_ += 2 * piecesPerBlock;
    formatChanged_ = true;
    return true;
}

void RtfDocumentWriter::appended()
{
    // Text never joins a picture's run, whatever the budget: it would show as pictures.
    const bool afterImage = !runs_.isEmpty() && runs_.last().format.isImageFormat();
    const bool newRun =
        runs_.isEmpty() || afterImage || (formatChanged_ && pieces_ < maxPieces_ && runs_.last().format != format_);
    // Past the bound on runs the document ends with this text, in the format before it where there is one.
    const bool charged = newRun && (budget_.chargeRun() || stopForLayout());
    if (charged || (newRun && (runs_.isEmpty() || afterImage))) {
        runs_.append(RtfTextRun{format_, text_.size()});
        ++pieces_;
    } else {
        runs_.last().end = text_.size();
    }
    formatChanged_ = false;
    // A paragraph of a table waits for its row; one after an unfinished row must not overtake it.
    if (text_.size() >= flushThreshold && paragraphDepth_ == 0 && !rowOpen()) {
        if (!blockStarted_) {
            startBlock(lastBlock_, lastMark_);
        }
        flushText();
    }
}

bool RtfDocumentWriter::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth)
{
    depth = qMin(depth, RtfTableWriter::maxDepth);
    if (limitReached_) {
        return false;
    }
    if (!budget_.chargeBreak(mark)) {
        return stopForLayout();
    }
    if (!reserve(1)) {
        return false;
    }
    if (depth > 0 && !blockStarted_) {
        paragraphDepth_ = 0;
        if (pieces_ + piecesPerBlock > maxPieces_) {
            lineBreakPending_ = true;
            return true;
        }
        pieces_ += piecesPerBlock;
        endDeeperRows(depth);
        tables_.addParagraph(takeParagraph(block, mark), depth);
        return true;
    }
    endDeeperRows(0);
    if (pieces_ + piecesPerBlock > maxPieces_) {
        // Written with the text that follows, if any, like the block of a paragraph.
        lineBreakPending_ = true;
        return true;
    }
    pieces_ += piecesPerBlock;
    writeBlock(block, mark);
    blockStarted_ = false;
    unbroken_ = 0;
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
    if (paragraphDepth_ > 0 && !text_.isEmpty() && !blockStarted_) {
        takeUnendedParagraph(block, mark, paragraphDepth_);
    }
    endDeeperRows(0);
    tables_.close(at_);
    if (!text_.isEmpty() || blockStarted_ || at_.freeBlock) {
        writeBlock(block, mark);
    }
    writeNotes(mark);
    at_.cursor.endEditBlock();
    document_.setUndoRedoEnabled(undoWasEnabled_);
}

void RtfDocumentWriter::writeBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (blockStarted_) {
        at_.cursor.setBlockFormat(block);
        at_.cursor.setBlockCharFormat(mark);
    } else {
        startBlock(block, mark);
    }
    flushText();
}

void RtfDocumentWriter::startBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    tables_.close(at_);
    if (at_.freeBlock) {
        at_.cursor.setBlockFormat(block);
        at_.cursor.setBlockCharFormat(mark);
        at_.freeBlock = false;
    } else {
        at_.cursor.insertBlock(block, mark);
    }
    blockStarted_ = true;
}

void RtfDocumentWriter::flushText()
{
    RtfTextRuns::insert(at_.cursor, text_, runs_);
    runs_.clear();
    text_.resize(0);
}

RtfParagraph RtfDocumentWriter::takeParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    formatChanged_ = true;
    unbroken_ = 0;
    return RtfParagraph{block, mark, std::exchange(text_, QString()), std::exchange(runs_, {})};
}

bool RtfDocumentWriter::endCell(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth,
                                const RtfRowDef &row)
{
    if (limitReached_) {
        return false;
    }
    // A cell past the table's last column still costs a paragraph in that column.
    if (!budget_.chargeCell() || !budget_.chargeBreak(mark)) {
        return stopForLayout();
    }
    if (!reserve(1)) {
        return false;
    }
    const bool outside = blockStarted_;
    if (outside) {
        // The paragraph began outside the table and is already partly in the document.
        writeBlock(block, mark);
        blockStarted_ = false;
        unbroken_ = 0;
    }
    endDeeperRows(depth);
    if (!outside && (!text_.isEmpty() || tables_.cellEmpty(depth))) {
        tables_.addParagraph(takeParagraph(block, mark), depth);
    }
    paragraphDepth_ = 0;
    tables_.endCell(depth, row);
    return true;
}

void RtfDocumentWriter::endRow(const RtfRowDef &row, int depth)
{
    if (!limitReached_ && !budget_.chargeBreak(format_)) {
        stopForLayout();
    }
    if (!text_.isEmpty() && !blockStarted_) {
        takeUnendedParagraph(lastBlock_, lastMark_, depth);
    }
    paragraphDepth_ = 0;
    endDeeperRows(depth);
    charge(tables_.endRow(row, depth, tableRoom(), at_, format_));
}

// Every paragraph in a cell takes one character besides its text: its end, or the separator before it where the
// row is written as text. endParagraph pays for the paragraphs it ends; this pays for the one that a row or the
// document ends first. Where the limit leaves no room for it, its text goes, as the rest beyond the limit does.
void RtfDocumentWriter::takeUnendedParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth)
{
    if (reserve(1)) {
        endDeeperRows(depth);
        tables_.addParagraph(takeParagraph(block, mark), depth);
    } else {
        text_.clear();
        runs_.clear();
    }
}

void RtfDocumentWriter::endDeeperRows(int depth)
{
    charge(tables_.endDeeper(depth, tableRoom(), at_, format_));
}

void RtfDocumentWriter::charge(RtfTableWriter::Room taken)
{
    written_ += taken.chars;
    pieces_ += taken.pieces;
    budget_.chargeCells(taken.cells);
}

void RtfDocumentWriter::writeNotes(const QTextCharFormat &mark)
{
    const QList<RtfParagraph> notes = std::exchange(notes_, {});
    // The end of the last paragraph, which was the document's own, now counts like the others.
    if (notes.isEmpty() || !reserve(1) || (!budget_.chargeBreak(mark) && !stopForLayout())) {
        return;
    }
    blockStarted_ = false;
    unbroken_ = 0;
    QTextBlockFormat rule;
    rule.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth, QTextLength(QTextLength::PercentageLength, 100));
    bool room = endParagraph(rule, mark);
    for (qsizetype i = 0; room && i < notes.size(); ++i) {
        const RtfParagraph &note = notes.at(i);
        qsizetype start = 0;
        for (const RtfTextRun &run : note.runs) {
            setCharFormat(run.format);
            append(QStringView(note.text).sliced(start, run.end - start));
            start = run.end;
        }
        if (i + 1 == notes.size()) {
            writeBlock(note.block, note.mark); // the last paragraph's end is the document's own
            return;
        }
        room = endParagraph(note.block, note.mark);
    }
    // What a limit cut short, or what went on past the share for paragraphs, is still to be written.
    if (!text_.isEmpty()) {
        writeBlock(lastBlock_, mark);
    }
}
