#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfFormats.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QList>
#include <QString>

class QTextDocument;

// The state machine behind RtfReader: follows groups, destinations and formatting and hands text and
// paragraphs to an RtfDocumentWriter. Groups live on an explicit, capped stack, never on the call stack.
// RtfParser.cpp handles groups and control words, RtfParserText.cpp the text itself.
class RtfParser final {
public:
    enum class Status : quint8 { Finished, TooManyGroups, TooMuchOutput };

    RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
              qsizetype maxOutputChars);
    Q_DISABLE_COPY_MOVE(RtfParser)

    Status run();

private:
    enum class Destination : quint8 { Text, Skip, FontTable, ColorTable };

    struct GroupState {
        RtfCharState chars;
        RtfParaState para;
        Destination destination = Destination::Text;
        int unicodeSkip = 1;
    };

    GroupState &state() { return m_stack.last(); }
    bool openGroup();
    bool closeGroup();

    void handleWord(const RtfToken &token);
    void handleTextWord(RtfKeywordInfo info, const RtfToken &token);
    void handleFontTableWord(RtfKeyword keyword, const RtfToken &token);
    void handleColorTableWord(RtfKeyword keyword, const RtfToken &token);
    void handleSymbol(char symbol);
    void handleText(QByteArrayView text);
    void handleByte(uchar byte, bool raw, RtfCodePage page);
    void handleUnicode(int parameter);

    void emitCharacter(char32_t character);
    void emitUtf16(char16_t unit);
    void flushLoneSurrogate();
    void paragraphBreak();
    void commitFont();
    void commitColor();

    RtfCodePage currentPage();
    void syncCharFormat();

    RtfTokenizer m_tokenizer;
    RtfDocumentWriter m_writer;
    RtfFormats m_formats;
    int m_maxDepth = 1;
    qsizetype m_maxGroups = 0;

    QList<GroupState> m_stack;
    // Groups deeper than m_maxDepth share the state of the deepest real group; it is put back once they
    // have all closed.
    int m_overflowDepth = 0;
    GroupState m_overflowSaved;
    qsizetype m_groupCount = 0;
    bool m_done = false;

    RtfCodePage m_documentPage = RtfCodePage::Windows1252;
    int m_pendingFontNumber = -1;
    int m_pendingFontCharset = -1;
    QString m_pendingFontName;
    int m_pendingRgb[3] = {-1, -1, -1};

    int m_skipCount = 0;          // characters still to skip after \u
    char16_t m_highSurrogate = 0; // waiting for its low half
    bool m_expectTrailByte = false;

    RtfCharState m_sentChars;
    quint64 m_sentGeneration = 0;
    bool m_formatSent = false;
};
