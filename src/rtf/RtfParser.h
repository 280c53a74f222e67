#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfFormats.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfLists.h"
#include "rtf/RtfPicture.h"
#include "rtf/RtfTokenizer.h"

#include <QList>
#include <QString>

class QTextDocument;

// The state machine behind RtfReader: follows groups, destinations and formatting and hands text and
// paragraphs to an RtfDocumentWriter. Groups live on an explicit, capped stack, never on the call stack.
// RtfParser.cpp handles groups and control words, RtfParserText.cpp the text itself, RtfParserParts.cpp
// the destinations and words of lists, fields, tables and pictures.
class RtfParser final {
public:
    enum class Status : quint8 { Finished, TooManyGroups, TooMuchOutput, TooLongToShow };

    RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
              qsizetype maxOutputChars, qint64 maxPicturePixels, RtfLayoutBudget::Bounds layoutBounds);
    Q_DISABLE_COPY_MOVE(RtfParser)

    Status run();

private:
    enum class Destination : quint8 {
        Text,
        Skip,
        FontTable,
        ColorTable,
        FieldInstruction,
        ListTable,
        LevelText,
        ListOverrideTable,
        ListText,
        Pn,
        PnText,
        Picture,
    };

    struct GroupState {
        RtfCharState chars;
        RtfParaState para;
        Destination destination = Destination::Text;
        int unicodeSkip = 1;
        bool ownsDestination = false; // the destination began in this group and ends with it
        bool starred = false;         // after \*: only a destination the reader knows is read
        Destination beforeStar = Destination::Text;
    };

    GroupState &state() { return stack_.last(); }
    bool openGroup();
    bool closeGroup();

    void handleWord(const RtfToken &token);
    void handleTextWord(RtfKeywordInfo info, const RtfToken &token);
    void handleFontTableWord(RtfKeyword keyword, const RtfToken &token);
    void handleColorTableWord(RtfKeyword keyword, const RtfToken &token);
    void beginDestination(Destination destination);
    void endDestination(Destination destination);

    // RtfParserParts.cpp
    bool handlePartWord(RtfKeyword keyword, const RtfToken &token); // false: not one of these words
    void handleListTableWord(RtfKeyword keyword, const RtfToken &token);
    void handleListOverrideWord(RtfKeyword keyword, const RtfToken &token);
    void handlePnWord(RtfKeyword keyword, const RtfToken &token);
    void handlePictureWord(RtfKeyword keyword, const RtfToken &token);
    void startParagraphText();
    void appendPartText(char16_t unit);
    void applyFieldResult();
    void finishPicture();
    void endCell();
    void endRow();
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

    // The block format of the paragraph being read.
    QTextBlockFormat paragraphFormat();
    RtfCodePage currentPage();
    void syncCharFormat();

    RtfTokenizer tokenizer_;
    RtfDocumentWriter writer_;
    RtfFormats formats_;
    int maxDepth_ = 1;
    qsizetype maxGroups_ = 0;

    QList<GroupState> stack_;
    // Groups deeper than maxDepth_ share the state of the deepest real group; it is put back once they
    // have all closed.
    int overflowDepth_ = 0;
    GroupState overflowSaved_;
    qsizetype groupCount_ = 0;
    bool done_ = false;

    RtfCodePage documentPage_ = RtfCodePage::Windows1252;
    int pendingFontNumber_ = -1;
    int pendingFontCharset_ = -1;
    QString pendingFontName_;
    int pendingRgb_[3] = {-1, -1, -1};

    RtfLists lists_;
    QString listText_; // the \listtext of the paragraph, put before its text once its list is known
    RtfCharState listTextChars_;
    bool hasListText_ = false;
    bool paragraphTextStarted_ = false;
    RtfLists::Pn pendingPn_;
    bool pnTextAfter_ = false;
    QString levelText_;
    QString fieldInstruction_;
    RtfPicture picture_;
    qint64 picturePixelsLeft_ = 0;
    RtfRowDef rowDef_;
    RtfCellDef pendingCell_;
    quint8 borderSide_ = 0; // the cell border that \brdr words describe now

    int skipCount_ = 0;          // characters still to skip after \u
    char16_t highSurrogate_ = 0; // waiting for its low half
    bool expectTrailByte_ = false;

    RtfCharState sentChars_;
    quint64 sentGeneration_ = 0;
    bool formatSent_ = false;
};
