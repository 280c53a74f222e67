#include "RtfDocumentWriter.h"

#include <QTextDocument>

namespace {

// Long runs are handed over in pieces so that the pending buffer stays small next to the document.
constexpr qsizetype flushThreshold = 64 * 1024;

} // namespace

RtfDocumentWriter::RtfDocumentWriter(QTextDocument &document, qsizetype maxChars)
    : m_document(document), m_maxChars(qMax<qsizetype>(0, maxChars)) {
    // An undo history of a load would hold a second copy of every fragment.
    m_undoWasEnabled = m_document.isUndoRedoEnabled();
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();
}

RtfDocumentWriter::~RtfDocumentWriter() {
    if (!m_finished)
        finish(m_cursor.blockFormat(), m_cursor.blockCharFormat());
}

void RtfDocumentWriter::setCharFormat(const QTextCharFormat &format) {
    flush();
    m_format = format;
}

bool RtfDocumentWriter::reserve(qsizetype count) {
    if (m_limitReached)
        return false;
    if (count > m_maxChars - m_written) {
        m_limitReached = true;
        return false;
    }
    m_written += count;
    return true;
}

bool RtfDocumentWriter::append(char16_t character) {
    if (!reserve(1))
        return false;
    startPendingParagraph();
    m_pending.append(QChar(character));
    if (m_pending.size() >= flushThreshold)
        flush();
    return true;
}

bool RtfDocumentWriter::append(QStringView text) {
    if (text.isEmpty())
        return !m_limitReached;
    qsizetype count = text.size();
    bool fits = true;
    if (m_limitReached || count > m_maxChars - m_written) {
        fits = false;
        count = m_limitReached ? 0 : m_maxChars - m_written;
        // Never keep half of a surrogate pair.
        if (count > 0 && text[count - 1].isHighSurrogate())
            --count;
    }
    if (count > 0) {
        m_written += count;
        startPendingParagraph();
        m_pending.append(text.first(count));
        if (m_pending.size() >= flushThreshold)
            flush();
    }
    if (!fits)
        m_limitReached = true;
    return fits;
}

bool RtfDocumentWriter::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark) {
    if (!reserve(1))
        return false;
    startPendingParagraph();
    flush();
    m_cursor.setBlockFormat(block);
    m_cursor.setBlockCharFormat(mark);
    m_paragraphPending = true;
    return true;
}

void RtfDocumentWriter::finish(const QTextBlockFormat &block, const QTextCharFormat &mark) {
    if (m_finished)
        return;
    m_finished = true;
    flush();
    if (!m_paragraphPending) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(mark);
    }
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undoWasEnabled);
}

void RtfDocumentWriter::startPendingParagraph() {
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    flush();
    m_cursor.insertBlock();
}

void RtfDocumentWriter::flush() {
    if (m_pending.isEmpty())
        return;
    m_cursor.insertText(m_pending, m_format);
    m_pending.clear();
}
