#pragma once

#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

// Puts text and paragraphs into a QTextDocument for the RTF reader. Text is gathered into runs of one
// format and inserted a run at a time, and the whole load is one edit block, so that the document lays
// itself out once at the end instead of after every insertion.
class RtfDocumentWriter final {
public:
    RtfDocumentWriter(QTextDocument &document, qsizetype maxChars);
    ~RtfDocumentWriter();
    Q_DISABLE_COPY_MOVE(RtfDocumentWriter)

    // The format of the text appended from now on.
    void setCharFormat(const QTextCharFormat &format);

    // Both return false once the character limit is reached; what fits is kept.
    bool append(char16_t character);
    bool append(QStringView text);

    // Ends the paragraph that is being written, giving it its formats. The next paragraph is only started
    // when something is written into it, so the break that ends the last paragraph leaves no empty block.
    bool endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark);

    // Formats the last paragraph if no break ended it and closes the edit block.
    void finish(const QTextBlockFormat &block, const QTextCharFormat &mark);

    bool limitReached() const { return m_limitReached; }

private:
    bool reserve(qsizetype count);
    void startPendingParagraph();
    void flush();

    QTextDocument &m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_format;
    QString m_pending;
    qsizetype m_maxChars = 0;
    qsizetype m_written = 0;
    bool m_paragraphPending = false;
    bool m_limitReached = false;
    bool m_finished = false;
    bool m_undoWasEnabled = false;
};
