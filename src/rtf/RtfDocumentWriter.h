#pragma once

#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

// Puts text and paragraphs into a QTextDocument for the RTF reader. RTF gives a paragraph its formatting
// at the paragraph's end while QTextDocument wants it when the block starts, so a paragraph's text is held
// back (as runs of one format each) until its end, and then goes in with one block insertion and one text
// insertion per run. The whole load is one edit block, so the document lays itself out once at the end.
// Blocks and runs cost far more than characters, so they have a budget of their own, a share of the
// character limit; past it the text still goes in, without further paragraph breaks or format changes.
class RtfDocumentWriter final {
public:
    RtfDocumentWriter(QTextDocument &document, qsizetype maxChars);
    ~RtfDocumentWriter();
    Q_DISABLE_COPY_MOVE(RtfDocumentWriter)

    // The format of the text appended from now on.
    void setCharFormat(const QTextCharFormat &format);

    // Each returns false once the character limit is reached; what fits is kept.
    bool append(char16_t character);
    bool append(QStringView text);
    bool append(QLatin1StringView text);

    // Ends the paragraph being written, giving it its formats; mark is the format of the paragraph's end,
    // which sets the height of an empty line. The break after the last paragraph adds no empty block.
    bool endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark);

    // Writes the last paragraph if no break ended it and closes the edit block.
    void finish(const QTextBlockFormat &block, const QTextCharFormat &mark);

    bool limitReached() const { return limitReached_; }

private:
    struct Run {
        QTextCharFormat format;
        qsizetype end = 0; // where the run ends in text_
    };

    bool reserve(qsizetype count);
    void writePendingLineBreak();
    void appended();
    // Appends as much of the text as the limit leaves room for; false when not all of it fitted.
    template <class TextView> bool appendText(TextView text);
    // The paragraph's block, in the format given, with the text written since it began.
    void writeBlock(const QTextBlockFormat &block, const QTextCharFormat &mark);
    void startBlock(const QTextBlockFormat &block, const QTextCharFormat &mark);
    void flushText();

    QTextDocument &document_;
    QTextCursor cursor_;
    QTextCharFormat format_;
    QString text_;    // text of the current paragraph not yet in the document
    QList<Run> runs_; // formats of text_, the last one still growing
    QTextBlockFormat lastBlock_;
    QTextCharFormat lastMark_;
    qsizetype maxChars_ = 0;
    qsizetype written_ = 0;
    qsizetype maxPieces_ = 0; // blocks and runs
    qsizetype pieces_ = 0;
    bool blockStarted_ = false;   // the current paragraph already has its block in the document
    bool firstBlockUsed_ = false; // the block every document starts with has been given a paragraph
    bool formatChanged_ = false;
    bool lineBreakPending_ = false; // a paragraph end past the piece budget
    bool limitReached_ = false;
    bool finished_ = false;
    bool undoWasEnabled_ = false;
};
