#pragma once

#include "rtf/RtfLayoutBudget.h"
#include "rtf/RtfRowDef.h"
#include "rtf/RtfTableWriter.h"
#include "rtf/RtfTextRuns.h"

#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class QImage;
class QTextDocument;

// Puts text and paragraphs into a QTextDocument for the RTF reader. RTF gives a paragraph its formatting
// at the paragraph's end while QTextDocument wants it when the block starts, so a paragraph's text is held
// back (as runs of one format each) until its end, and then goes in with one block insertion and one text
// insertion per run. The whole load is one edit block, so the document lays itself out once at the end.
// Blocks and runs cost far more than characters, so they have a budget of their own, a share of the
// character limit; past it the text still goes in, without further paragraph breaks or format changes.
// The paragraphs of table cells go to RtfTableWriter, which writes the tables.
// What the text layout will have to do is charged as it is written; the document ends where a layout bound is
// reached, as it does at the character limit.
class RtfDocumentWriter final {
public:
    RtfDocumentWriter(QTextDocument &document, qsizetype maxChars, RtfLayoutBudget::Bounds layoutBounds);
    ~RtfDocumentWriter();
    Q_DISABLE_COPY_MOVE(RtfDocumentWriter)

    // The format of the text appended from now on.
    void setCharFormat(const QTextCharFormat &format);

    // Each returns false once the character limit is reached; what fits is kept.
    bool append(char16_t character);
    bool append(QStringView text);
    bool append(QLatin1StringView text);
    // Whether the limits leave room for a picture here, which saves decoding one that would be left out.
    bool takesImage() const;
    // A picture shown at the given size in pixels; false when the limits leave no room for it.
    bool appendImage(const QImage &image, QSizeF size);

    // Ends the paragraph being written, giving it its formats; mark is the format of the paragraph's end,
    // which sets the height of an empty line. The break after the last paragraph adds no empty block. A
    // paragraph in a table (depth 1, or deeper in a table in a table) goes into the table's current cell.
    bool endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth = 0);
    // How deep in tables the paragraph being written is; one in a table stays out of the document until its row ends.
    void setParagraphDepth(int depth) { paragraphDepth_ = qMin(depth, RtfTableWriter::maxDepth); }

    // Ends the current cell of the table at the depth with the paragraph being written, unless that is an empty
    // paragraph after others; row is the definition of the cell's row so far.
    bool endCell(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth, const RtfRowDef &row);
    // Ends the row of the cells ended at the depth since the last row, as the row definition describes it.
    void endRow(const RtfRowDef &row, int depth);
    bool rowOpen() const { return tables_.rowOpen(); }

    // Writes the last paragraph if no break ended it, then the footnotes, and closes the edit block.
    void finish(const QTextBlockFormat &block, const QTextCharFormat &mark);
    // The paragraphs of the footnotes, which the document shows at its end, under a rule.
    void setNotes(QList<RtfParagraph> notes) { notes_ = std::move(notes); }

    bool limitReached() const { return limitReached_; }
    // The limit reached was one of the layout's bounds.
    bool layoutBoundReached() const { return layoutBoundReached_; }

private:
    bool reserve(qsizetype count);
    bool stopForLayout();
    void writePendingLineBreak();
    void appended();
    // Appends as much of the text as the limit leaves room for; false when not all of it fitted.
    template <class TextView> bool appendText(TextView text);
    // Appends text to the paragraph, with a zero-width space where a word grows too long to lay out cheaply.
    template <class TextView> void appendBreakable(TextView text);
    // The paragraph's block, in the format given, with the text written since it began.
    void writeBlock(const QTextBlockFormat &block, const QTextCharFormat &mark);
    void startBlock(const QTextBlockFormat &block, const QTextCharFormat &mark);
    void flushText();
    RtfParagraph takeParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark);
    void takeUnendedParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark, int depth);
    // What the limits leave a table row, and charging what it took.
    RtfTableWriter::Room tableRoom() const { return {maxChars_ - written_, maxPieces_ - pieces_, budget_.cellsLeft()}; }
    void charge(RtfTableWriter::Room taken);
    // Ends the rows of the tables deeper than the depth; 0 ends every row.
    void endDeeperRows(int depth);
    // The footnotes, as paragraphs after the others: as far as the limits leave room for them.
    void writeNotes(const QTextCharFormat &mark);

    QTextDocument &document_;
    RtfInsertPoint at_;
    QTextCharFormat format_;
    QString text_;           // text of the current paragraph not yet in the document
    QList<RtfTextRun> runs_; // formats of text_, the last one still growing
    QTextBlockFormat lastBlock_;
    QTextCharFormat lastMark_;
    qsizetype maxChars_ = 0;
    qsizetype written_ = 0;
    qsizetype maxPieces_ = 0; // blocks and runs
    qsizetype pieces_ = 0;
    bool blockStarted_ = false; // the current paragraph already has its block in the document
    int paragraphDepth_ = 0;
    RtfTableWriter tables_;
    int imageCount_ = 0;
    qsizetype unbroken_ = 0; // characters since the last place where a line may break
    bool formatChanged_ = false;
    bool lineBreakPending_ = false; // a paragraph end past the piece budget
    bool limitReached_ = false;
    RtfLayoutBudget budget_;
    bool layoutBoundReached_ = false;
    bool finished_ = false;
    bool undoWasEnabled_ = false;
    QList<RtfParagraph> notes_;
};
