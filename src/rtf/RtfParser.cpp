#include "rtf/RtfParser.h"

#include "rtf/RtfFormatWords.h"
#include "rtf/RtfTwips.h"

#include <QTextDocument>
#include <QTextOption>

namespace {

// Where a document gives no \\deftab, a default stop every half inch; a garbled one still leaves a few pixels.
constexpr int defaultTabTwips = 720;
constexpr int minTabTwips = 72;

} // namespace

RtfParser::RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
                     qsizetype maxOutputChars, qint64 maxPicturePixels, RtfLayoutBudget::Bounds layoutBounds)
    : tokenizer_(input), document_(document), writer_(document, maxOutputChars, layoutBounds),
      pictures_(maxPicturePixels), notes_(formats_, maxOutputChars, layoutBounds), maxDepth_(qMax(1, maxDepth)),
      maxGroups_(maxGroups)
{
    stack_.reserve(qMin(maxDepth_, 256) + 1);
    stack_.append(RtfGroupState{});
    setDefaultTab(defaultTabTwips);
}

RtfParser::Status RtfParser::run()
{
    Status status = Status::Finished;
    while (!done_) {
        const RtfToken token = tokenizer_.next();
        switch (token.kind) {
        case RtfToken::Kind::End:
            done_ = true;
            break;
        case RtfToken::Kind::GroupStart:
            if (!openGroup()) {
                status = Status::TooManyGroups;
                done_ = true;
            }
            break;
        case RtfToken::Kind::GroupEnd:
            done_ = closeGroup();
            break;
        case RtfToken::Kind::ControlWord:
            handleWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            handleSymbol(token.symbol);
            break;
        case RtfToken::Kind::HexByte:
            if (!decoder_.skipsNext()) {
                router_.byte(token.byte, false, state());
            }
            break;
        case RtfToken::Kind::Text:
            router_.text(token.word, state());
            break;
        }
        if (writer_.limitReached()) {
            status = writer_.layoutBoundReached() ? Status::TooLongToShow : Status::TooMuchOutput;
            done_ = true;
        }
    }
    router_.flush(state());
    writer_.setNotes(notes_.takeNotes());
    text_.finish(state().chars, state().para);
    // The footnotes, written last, may reach a limit of their own.
    if (status == Status::Finished && writer_.limitReached()) {
        status = writer_.layoutBoundReached() ? Status::TooLongToShow : Status::TooMuchOutput;
    }
    return status;
}

bool RtfParser::openGroup()
{
    if (++groupCount_ > maxGroups_) {
        return false;
    }
    router_.flush(state());
    decoder_.resetAtGroup();
    if (overflowDepth_ > 0 || stack_.size() > maxDepth_) {
        if (overflowDepth_++ == 0) {
            overflowSaved_ = state();
        }
        return true;
    }
    RtfGroupState copy = state();
    copy.ownsDestination = false;
    copy.starred = false;
    stack_.append(copy);
    if (copy.destination == RtfDestination::StyleSheet) {
        beginDestination(RtfDestination::StyleEntry);
        styles_.beginEntry();
    }
    return true;
}

bool RtfParser::closeGroup()
{
    router_.flush(state());
    decoder_.resetAtGroup();
    if (state().destination == RtfDestination::FontTable) {
        fonts_.commit(decoder_.documentPage());
    }
    if (overflowDepth_ > 0) {
        if (--overflowDepth_ == 0) {
            state() = overflowSaved_;
        }
        return false;
    }
    // The outermost group ends the document; its state stays for the last paragraph, and anything after
    // it does not belong to the document.
    if (stack_.size() <= 2) {
        return true;
    }
    const bool owned = state().ownsDestination;
    const RtfDestination ended = state().destination;
    if (owned && ended == RtfDestination::Footnote) {
        notes_.end(state().chars, state().para);
    }
    stack_.removeLast();
    if (owned) {
        endDestination(ended);
    }
    return false;
}

void RtfParser::beginDestination(RtfDestination destination)
{
    state().destination = destination;
    state().ownsDestination = true;
}

// Called once the group that began the destination has closed: state() is the group around it.
void RtfParser::endDestination(RtfDestination destination)
{
    switch (destination) {
    case RtfDestination::ListTable:
        lists_.endListTable();
        break;
    case RtfDestination::LevelText:
        lists_.endLevelText();
        break;
    case RtfDestination::Pn:
        state().para.pn = lists_.endPn();
        break;
    case RtfDestination::Picture:
        finishPicture();
        break;
    case RtfDestination::StyleEntry:
        styles_.endEntry(documentState().chars, documentState().para);
        break;
    case RtfDestination::Shape:
        showPicture(shapes_.end());
        break;
    default:
        break;
    }
}

void RtfParser::handleWord(const RtfToken &token)
{
    router_.flush(state());
    const RtfKeywordInfo info = rtfKeyword(token.word);
    // Binary data is skipped in every destination, or its bytes would be read as RTF.
    if (info.keyword == RtfKeyword::Binary) {
        handleBinary(token);
        return;
    }
    if (decoder_.skipsNext() || !resumesStarred(info.keyword) || handleTableStart(info.keyword) ||
        handleUnicodeWord(info.keyword, token)) {
        return;
    }
    dispatchWord(info, token);
}

void RtfParser::handleBinary(const RtfToken &token)
{
    decoder_.skipsNext();
    const QByteArrayView data = tokenizer_.skipBinary(token.hasParameter ? token.parameter : 0);
    if (state().destination == RtfDestination::Picture) {
        pictures_.addBinary(data);
    }
}

bool RtfParser::resumesStarred(RtfKeyword keyword)
{
    if (state().destination != RtfDestination::Skip) {
        return true;
    }
    if (!state().starred) {
        return false;
    }
    state().starred = false;
    switch (keyword) {
    case RtfKeyword::FieldInstruction:
    case RtfKeyword::FieldResult:
    case RtfKeyword::ListTable:
    case RtfKeyword::ListOverrideTable:
    case RtfKeyword::ListText:
    case RtfKeyword::LevelText:
    case RtfKeyword::Pn:
    case RtfKeyword::PnTextBefore:
    case RtfKeyword::PnTextAfter:
    case RtfKeyword::ShapePicture:
    case RtfKeyword::ShapeInstance:
    case RtfKeyword::Picture:
    case RtfKeyword::NestTableProps:
    case RtfKeyword::Footnote:
    case RtfKeyword::DefaultCharacterFormat:
    case RtfKeyword::DefaultParagraphFormat:
        state().destination = state().beforeStar;
        return true;
    default:
        return false;
    }
}

// The words that make the rest of their group a table of the document, or nothing to read, in any destination.
bool RtfParser::handleTableStart(RtfKeyword keyword)
{
    switch (keyword) {
    case RtfKeyword::SkipDestination:
        state().destination = RtfDestination::Skip;
        return true;
    case RtfKeyword::FontTable:
        state().destination = RtfDestination::FontTable;
        fonts_.begin();
        return true;
    case RtfKeyword::ColorTable:
        state().destination = RtfDestination::ColorTable;
        colors_.begin();
        return true;
    case RtfKeyword::StyleSheet:
        state().destination = RtfDestination::StyleSheet;
        return true;
    case RtfKeyword::DefaultCharacterFormat:
    case RtfKeyword::DefaultParagraphFormat:
        beginDestination(RtfDestination::StyleEntry);
        styles_.beginEntry();
        return true;
    case RtfKeyword::Shape:
    case RtfKeyword::ShapeInstance:
    case RtfKeyword::ShapeResult:
        beginShapeGroup(keyword);
        return true;
    default:
        return false;
    }
}

// A shape in running text is read, one at a time; its fallback only where RtfShapeReader says so. Anywhere else they
// are skipped.
void RtfParser::beginShapeGroup(RtfKeyword keyword)
{
    RtfGroupState &group = state();
    if (keyword == RtfKeyword::Shape && group.destination == RtfDestination::Text && !group.inShape) {
        beginDestination(RtfDestination::Shape);
        group.inShape = true;
        shapes_.begin();
    } else if (keyword == RtfKeyword::ShapeResult && group.destination == RtfDestination::Shape &&
               shapes_.readsResult()) {
        group.destination = RtfDestination::Text;
    } else if (keyword != RtfKeyword::ShapeInstance || group.destination != RtfDestination::Shape) {
        group.destination = RtfDestination::Skip;
    }
}

// \u and \uc read the same in running text and in font names.
bool RtfParser::handleUnicodeWord(RtfKeyword keyword, const RtfToken &token)
{
    if (state().destination == RtfDestination::ColorTable) {
        return false;
    }
    if (keyword == RtfKeyword::Unicode) {
        if (token.hasParameter) {
            const int skip = state().unicodeSkip;
            emitCharacter(decoder_.decodeUnicode(token.parameter, skip));
        }
        return true;
    }
    if (keyword == RtfKeyword::UnicodeSkip) {
        state().unicodeSkip = qMax(0, token.parameter);
        return true;
    }
    return false;
}

void RtfParser::dispatchWord(RtfKeywordInfo info, const RtfToken &token)
{
    switch (state().destination) {
    case RtfDestination::Text:
        handleBodyWord(info, token);
        break;
    case RtfDestination::FontTable:
        fonts_.word(info.keyword, token, decoder_.documentPage());
        break;
    case RtfDestination::ColorTable:
        colors_.word(info.keyword, token);
        break;
    case RtfDestination::ListTable:
        if (info.keyword != RtfKeyword::LevelText) {
            lists_.listTableWord(info.keyword, token);
        } else if (lists_.beginLevelText()) {
            beginDestination(RtfDestination::LevelText);
        }
        break;
    case RtfDestination::ListOverrideTable:
        lists_.overrideWord(info.keyword, token);
        break;
    case RtfDestination::Pn:
        if (lists_.pnWord(info, token, state().chars)) {
            beginDestination(RtfDestination::PnText);
        }
        break;
    case RtfDestination::Picture:
        pictures_.word(info.keyword, token);
        break;
    case RtfDestination::Shape:
        if (const RtfDestination begun = shapes_.word(info.keyword, token); begun != RtfDestination::Shape) {
            beginDestination(begun);
            if (begun == RtfDestination::Picture) {
                pictures_.begin();
            }
        }
        break;
    case RtfDestination::FieldInstruction:
    case RtfDestination::ListText:
    case RtfDestination::PnText:
        handleTextWord(info, token);
        break;
    case RtfDestination::Footnote:
        handleFootnoteWord(info, token);
        break;
    case RtfDestination::StyleEntry:
        styles_.word(info.keyword, token);
        break;
    case RtfDestination::LevelText:
    case RtfDestination::ShapePropertyName:
    case RtfDestination::Skip:
    case RtfDestination::StyleSheet:
        break;
    }
}

// The words of running text: those that begin a destination inside it, the row's definition, where the
// paragraph stands, and those read in every destination of text.
void RtfParser::handleBodyWord(RtfKeywordInfo info, const RtfToken &token)
{
    RtfGroupState &group = state();
    switch (info.keyword) {
    case RtfKeyword::Field:
        fields_.begin();
        return;
    case RtfKeyword::FieldResult:
        fields_.beginResult(group.chars);
        return;
    case RtfKeyword::Cell:
    case RtfKeyword::NestCell:
    case RtfKeyword::Row:
    case RtfKeyword::NestRow:
        tableEnd(info.keyword);
        return;
    case RtfKeyword::NestingLevel:
        group.para.nesting = qBound(0, token.parameter, 255);
        return;
    case RtfKeyword::ShapePicture:
    case RtfKeyword::NestTableProps:
        return;
    case RtfKeyword::Footnote:
        beginDestination(RtfDestination::Footnote);
        notes_.begin();
        return;
    case RtfKeyword::FootnoteMark:
        appendFootnoteMark();
        return;
    default:
        break;
    }
    if (handleBodyDestination(info.keyword) || RtfFormatWords::applyPlacement(info, token, group.para) ||
        tables_.word(info.keyword, token, group.para.tableDepth())) {
        return;
    }
    handleTextWord(info, token);
}

// \cell and \row end a cell and a row of a table outside tables; \nestcell and \nestrow those of the table in a
// table that the paragraph is in. Past the deepest table kept they separate the text like a tab and a line break.
void RtfParser::tableEnd(RtfKeyword keyword)
{
    const RtfGroupState &group = state();
    const bool nested = keyword == RtfKeyword::NestCell || keyword == RtfKeyword::NestRow;
    const bool cell = keyword == RtfKeyword::Cell || keyword == RtfKeyword::NestCell;
    const int depth = nested ? qMax(2, group.para.tableDepth()) : 1;
    if (depth > RtfTableReader::maxDepth) {
        emitCharacter(cell ? u'\t' : u'\u2028');
    } else if (cell) {
        text_.endCell(tables_.row(depth), depth, group.chars, group.para);
    } else {
        text_.endRow(tables_.row(depth), depth, group.chars, group.para);
    }
}

bool RtfParser::handleBodyDestination(RtfKeyword keyword)
{
    switch (keyword) {
    case RtfKeyword::FieldInstruction:
        beginDestination(RtfDestination::FieldInstruction);
        fields_.begin();
        return true;
    case RtfKeyword::ListTable:
        beginDestination(RtfDestination::ListTable);
        return true;
    case RtfKeyword::ListOverrideTable:
        beginDestination(RtfDestination::ListOverrideTable);
        return true;
    case RtfKeyword::ListText:
        beginDestination(RtfDestination::ListText);
        lists_.beginListText(state().chars);
        return true;
    case RtfKeyword::Pn:
        beginDestination(RtfDestination::Pn);
        lists_.beginPn();
        return true;
    case RtfKeyword::PnTextBefore:
    case RtfKeyword::PnTextAfter:
    case RtfKeyword::LevelText:
        // Only meaningful inside their tables.
        state().destination = RtfDestination::Skip;
        return true;
    case RtfKeyword::Picture:
        beginDestination(RtfDestination::Picture);
        pictures_.begin();
        return true;
    default:
        return false;
    }
}

// The words read in running text and in every destination whose text is gathered.
void RtfParser::handleTextWord(RtfKeywordInfo info, const RtfToken &token)
{
    if (RtfFormatWords::applyFormatting(info.keyword, token, state().chars, state().para) ||
        decoder_.pageWord(info, token)) {
        return;
    }
    switch (info.keyword) {
    case RtfKeyword::DefaultFont:
        formats_.setDefaultFont(token.parameter);
        break;
    case RtfKeyword::DefaultTab:
        // The header gives it, before any text; a change of the document's text option lays out all its text again.
        if (!std::exchange(defaultTabSet_, true)) {
            setDefaultTab(token.parameter > 0 ? qBound(minTabTwips, token.parameter, RtfTwips::max) : defaultTabTwips);
        }
        break;
    case RtfKeyword::Paragraph:
        paragraphBreak();
        break;
    case RtfKeyword::Line:
        emitCharacter(u'\u2028');
        break;
    case RtfKeyword::Tab:
        emitCharacter(u'\t');
        break;
    case RtfKeyword::Character:
        emitCharacter(info.character);
        break;
    default:
        break;
    }
}

// The words of a footnote's text: those of running text, fields, and the number of the note.
void RtfParser::handleFootnoteWord(RtfKeywordInfo info, const RtfToken &token)
{
    switch (info.keyword) {
    case RtfKeyword::Footnote: // a footnote inside a footnote is text of the outer one
        return;
    case RtfKeyword::FootnoteMark:
        appendFootnoteMark();
        return;
    case RtfKeyword::Field:
        fields_.begin();
        return;
    case RtfKeyword::FieldResult:
        fields_.beginResult(state().chars);
        return;
    case RtfKeyword::FieldInstruction:
        beginDestination(RtfDestination::FieldInstruction);
        fields_.begin();
        return;
    case RtfKeyword::Cell:
        emitCharacter(u'\t');
        return;
    case RtfKeyword::Row:
        paragraphBreak();
        return;
    case RtfKeyword::ListText:
    case RtfKeyword::Pn:
    case RtfKeyword::Picture:
        state().destination = RtfDestination::Skip; // labels and pictures are the body's
        return;
    default:
        handleTextWord(info, token);
    }
}

// \chftn: the number of a footnote, raised, where its mark stands or at the start of the note.
void RtfParser::appendFootnoteMark()
{
    RtfCharState raised = state().chars;
    raised.vertical = RtfCharState::Vertical::Superscript;
    const QString number = notes_.markNumber();
    if (state().destination == RtfDestination::Footnote) {
        notes_.appendText(number, raised);
    } else {
        text_.appendText(number, raised, state().para);
    }
}

void RtfParser::handleSymbol(char symbol)
{
    router_.flush(state());
    if (decoder_.skipsNext()) {
        return;
    }
    if (symbol == '*') {
        if (state().destination != RtfDestination::Skip) {
            state().beforeStar = state().destination;
            state().starred = true;
            state().destination = RtfDestination::Skip;
        }
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        emitCharacter(char16_t(symbol));
        break;
    case '~':
        emitCharacter(u'\u00A0');
        break;
    case '-':
        emitCharacter(u'\u00AD');
        break;
    case '_':
        emitCharacter(u'\u2011');
        break;
    case '\n':
        paragraphBreak();
        break;
    default:
        break;
    }
}

void RtfParser::paragraphBreak()
{
    if (state().destination == RtfDestination::Text) {
        text_.endParagraph(state().chars, state().para);
    } else if (state().destination == RtfDestination::Footnote) {
        notes_.endParagraph(state().chars, state().para);
    }
}

// A picture that cannot be shown, or that would pass the pixels the pictures may take together, is left
// out; the rest of the document does not notice. A shape's picture waits for the shape's end.
void RtfParser::finishPicture()
{
    const RtfDestination around = state().destination;
    const bool wanted = (around == RtfDestination::Text || around == RtfDestination::Shape) && !state().chars.hidden &&
                        text_.takesImage();
    RtfPictureReader::Shown shown = pictures_.end(wanted);
    if (around == RtfDestination::Shape) {
        shapes_.setPicture(std::move(shown));
    } else {
        showPicture(shown);
    }
}

void RtfParser::showPicture(const RtfPictureReader::Shown &shown)
{
    if (!shown.image.isNull()) {
        text_.appendImage(shown.image, shown.size, state().chars, state().para);
    }
}

// The stops that a tab reaches past the paragraph's own.
void RtfParser::setDefaultTab(int twips)
{
    QTextOption option = document_.defaultTextOption();
    option.setTabStopDistance(twips / RtfTwips::perPixel);
    document_.setDefaultTextOption(option);
}
