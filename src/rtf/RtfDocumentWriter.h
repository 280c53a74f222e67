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

    bool limitReached() const { return m_limitReached; }

private:
    struct Run {
        QTextCharFormat format;
        qsizetype end = 0; // where the run ends in m_text
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

    QTextDocument &m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_format;
    QString m_text;    // text of the current paragraph not yet in the document
    QList<Run> m_runs; // formats of m_text, the last one still growing
    QTextBlockFormat m_lastBlock;
    QTextCharFormat m_lastMark;
    qsizetype m_maxChars = 0;
    qsizetype m_written = 0;
    qsizetype m_maxPieces = 0; // blocks and runs
    qsizetype m_pieces = 0;
    bool m_blockStarted = false;   // the current paragraph already has its block in the document
    bool m_firstBlockUsed = false; // the block every document starts with has been given a paragraph
    bool m_formatChanged = false;
    bool m_lineBreakPending = false; // a paragraph end past the piece budget
    bool m_limitReached = false;
    bool m_finished = false;
    bool m_undoWasEnabled = false;
};
