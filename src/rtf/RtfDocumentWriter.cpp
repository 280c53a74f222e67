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
    : m_document(document), m_maxChars(qMax<qsizetype>(0, maxChars)),
      m_maxPieces(qMax(minPieces, m_maxChars / charsPerPiece)), m_undoWasEnabled(document.isUndoRedoEnabled())
{
    // An undo history of a load would hold a second copy of every fragment.
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();
}

RtfDocumentWriter::~RtfDocumentWriter()
{
    if (!m_finished)
        finish(m_lastBlock, m_lastMark);
}

void RtfDocumentWriter::setCharFormat(const QTextCharFormat &format)
{
    m_format = format;
    m_formatChanged = true;
}

bool RtfDocumentWriter::reserve(qsizetype count)
{
    if (m_limitReached)
        return false;
    if (count > m_maxChars - m_written) {
        m_limitReached = true;
        return false;
    }
    m_written += count;
    return true;
}

bool RtfDocumentWriter::append(char16_t character)
{
    if (!reserve(1))
        return false;
    writePendingLineBreak();
    m_text.append(QChar(character));
    appended();
    return true;
}

template <class TextView> bool RtfDocumentWriter::appendText(TextView text)
{
    if (text.isEmpty())
        return !m_limitReached;
    qsizetype count = text.size();
    const bool fits = !m_limitReached && count <= m_maxChars - m_written;
    if (!fits) {
        count = m_limitReached ? 0 : m_maxChars - m_written;
        // Never keep half of a surrogate pair.
        if constexpr (std::is_same_v<TextView, QStringView>) {
            if (count > 0 && text[count - 1].isHighSurrogate())
                --count;
        }
        m_limitReached = true;
    }
    if (count > 0) {
        m_written += count;
        writePendingLineBreak();
        m_text.append(text.first(count));
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
    if (m_lineBreakPending) {
        m_lineBreakPending = false;
        m_text.append(QChar::LineSeparator);
    }
}

void RtfDocumentWriter::appended()
{
    if (m_runs.isEmpty() || (m_formatChanged && m_pieces < m_maxPieces && m_runs.last().format != m_format)) {
        m_runs.append(Run{m_format, m_text.size()});
        ++m_pieces;
    } else {
        m_runs.last().end = m_text.size();
    }
    m_formatChanged = false;
    if (m_text.size() >= flushThreshold) {
        if (!m_blockStarted)
            startBlock(m_lastBlock, m_lastMark);
        flushText();
    }
}

bool RtfDocumentWriter::endParagraph(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (!reserve(1))
        return false;
    if (m_pieces + piecesPerBlock > m_maxPieces) {
        // Written with the text that follows, if any, like the block of a paragraph.
        m_lineBreakPending = true;
        return true;
    }
    m_pieces += piecesPerBlock;
    writeBlock(block, mark);
    m_blockStarted = false;
    m_lastBlock = block;
    m_lastMark = mark;
    return true;
}

void RtfDocumentWriter::finish(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!m_text.isEmpty() || m_blockStarted || !m_firstBlockUsed) {
        writeBlock(block, mark);
    }
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undoWasEnabled);
}

void RtfDocumentWriter::writeBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (m_blockStarted) {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(mark);
    } else {
        startBlock(block, mark);
    }
    flushText();
}

void RtfDocumentWriter::startBlock(const QTextBlockFormat &block, const QTextCharFormat &mark)
{
    if (m_firstBlockUsed) {
        m_cursor.insertBlock(block, mark);
    } else {
        m_cursor.setBlockFormat(block);
        m_cursor.setBlockCharFormat(mark);
        m_firstBlockUsed = true;
    }
    m_blockStarted = true;
}

void RtfDocumentWriter::flushText()
{
    if (m_runs.size() == 1) {
        m_cursor.insertText(m_text, m_runs.first().format);
    } else {
        qsizetype start = 0;
        for (const Run &run : std::as_const(m_runs)) {
            m_cursor.insertText(m_text.sliced(start, run.end - start), run.format);
            start = run.end;
        }
    }
    m_runs.clear();
    m_text.resize(0);
}
