#pragma once

#include "rtf/RtfColorTableReader.h"
#include "rtf/RtfDocumentWriter.h"
#include "rtf/RtfFieldReader.h"
#include "rtf/RtfFontTableReader.h"
#include "rtf/RtfFootnoteReader.h"
#include "rtf/RtfFormats.h"
#include "rtf/RtfGroupState.h"
#include "rtf/RtfListReader.h"
#include "rtf/RtfPictureReader.h"
#include "rtf/RtfShapeReader.h"
#include "rtf/RtfStyleSheetReader.h"
#include "rtf/RtfTableReader.h"
#include "rtf/RtfTextDecoder.h"
#include "rtf/RtfTextReader.h"
#include "rtf/RtfTextRouter.h"
#include "rtf/RtfTokenizer.h"

#include <QList>

class QTextDocument;

// The core of RtfReader: follows groups and destinations, and hands each control word and symbol to the reader
// of the destination it belongs to, and text to RtfTextRouter. Groups live on an explicit, capped stack, never on the
// call stack; the readers keep their own state and never call back into this class.
class RtfParser final {
public:
    enum class Status : quint8 { Finished, TooManyGroups, TooMuchOutput, TooLongToShow };

    RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
              qsizetype maxOutputChars, qint64 maxPicturePixels, RtfLayoutBudget::Bounds layoutBounds);
    Q_DISABLE_COPY_MOVE(RtfParser)

    Status run();

private:
    RtfGroupState &state() { return stack_.last(); }
    bool openGroup();
    bool closeGroup();
    void beginDestination(RtfDestination destination);
    void endDestination(RtfDestination destination);

    void handleWord(const RtfToken &token);
    void handleBinary(const RtfToken &token);
    // After \*: whether the group's first word names a destination the reader reads, which then goes on.
    bool resumesStarred(RtfKeyword keyword);
    bool handleTableStart(RtfKeyword keyword);
    void beginShapeGroup(RtfKeyword keyword);
    bool handleUnicodeWord(RtfKeyword keyword, const RtfToken &token);
    void dispatchWord(RtfKeywordInfo info, const RtfToken &token);
    void handleBodyWord(RtfKeywordInfo info, const RtfToken &token);
    void tableEnd(RtfKeyword keyword);
    bool handleBodyDestination(RtfKeyword keyword);
    void handleTextWord(RtfKeywordInfo info, const RtfToken &token);
    void handleFootnoteWord(RtfKeywordInfo info, const RtfToken &token);
    void appendFootnoteMark();
    // The formatting of the document's own group, which its default formatting applies to.
    RtfGroupState &documentState() { return stack_.size() > 1 ? stack_[1] : stack_.last(); }
    void handleSymbol(char symbol);

    void emitCharacter(char32_t character) { router_.character(character, state()); }
    void paragraphBreak();
    void finishPicture();
    void showPicture(const RtfPictureReader::Shown &shown);
    void setDefaultTab(int twips);

    RtfTokenizer tokenizer_;
    QTextDocument &document_;
    RtfDocumentWriter writer_;
    RtfFormats formats_;
    RtfTextDecoder decoder_;
    RtfFontTableReader fonts_{formats_};
    RtfColorTableReader colors_{formats_};
    RtfListReader lists_{formats_};
    RtfFieldReader fields_{formats_};
    RtfPictureReader pictures_;
    RtfShapeReader shapes_;
    RtfTableReader tables_{formats_};
    RtfFootnoteReader notes_;
    RtfStyleSheetReader styles_;
    RtfTextReader text_{writer_, formats_, lists_, decoder_};
    RtfTextRouter router_{{decoder_, text_, notes_, formats_, fonts_, colors_, lists_, fields_, pictures_, shapes_}};
    int maxDepth_ = 1;
    qsizetype maxGroups_ = 0;

    QList<RtfGroupState> stack_;
    // Groups deeper than maxDepth_ share the state of the deepest real group; it is put back once they
    // have all closed.
    int overflowDepth_ = 0;
    RtfGroupState overflowSaved_;
    qsizetype groupCount_ = 0;
    bool defaultTabSet_ = false;
    bool done_ = false;
};
