#include "rtf/RtfParser.h"
#include "rtf/RtfTwips.h"

namespace {

constexpr int defaultHalfPoints = 24;
constexpr int minHalfPoints = 2;
constexpr int maxHalfPoints = 1000;

bool flagOf(const RtfToken &token)
{
    return !token.hasParameter || token.parameter != 0;
}

} // namespace

RtfParser::RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
                     qsizetype maxOutputChars, qint64 maxPicturePixels, RtfLayoutBudget::Bounds layoutBounds)
    : tokenizer_(input), writer_(document, maxOutputChars, layoutBounds), maxDepth_(qMax(1, maxDepth)),
      maxGroups_(maxGroups), picturePixelsLeft_(qMax<qint64>(0, maxPicturePixels))
{
    stack_.reserve(qMin(maxDepth_, 256) + 1);
    stack_.append(GroupState{});
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
            if (skipCount_ > 0) {
                --skipCount_;
            } else {
                handleByte(token.byte, false, currentPage());
            }
            break;
        case RtfToken::Kind::Text:
            handleText(token.word);
            break;
        }
        if (writer_.limitReached()) {
            status = writer_.layoutBoundReached() ? Status::TooLongToShow : Status::TooMuchOutput;
            done_ = true;
        }
    }
    flushLoneSurrogate();
    writer_.finish(paragraphFormat(), formats_.charFormat(state().chars));
    return status;
}

bool RtfParser::openGroup()
{
    if (++groupCount_ > maxGroups_) {
        return false;
    }
    skipCount_ = 0;
    expectTrailByte_ = false;
    if (overflowDepth_ > 0 || stack_.size() > maxDepth_) {
        if (overflowDepth_++ == 0) {
            overflowSaved_ = state();
        }
        return true;
    }
    GroupState copy = state();
    copy.ownsDestination = false;
    copy.starred = false;
    stack_.append(copy);
    return true;
}

bool RtfParser::closeGroup()
{
    skipCount_ = 0;
    expectTrailByte_ = false;
    if (state().destination == Destination::FontTable) {
        commitFont();
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
    const Destination ended = state().destination;
    stack_.removeLast();
    if (owned) {
        endDestination(ended);
    }
    return false;
}

void RtfParser::beginDestination(Destination destination)
{
    state().destination = destination;
    state().ownsDestination = true;
}

// Called once the group that began the destination has closed: state() is the group around it.
void RtfParser::endDestination(Destination destination)
{
    switch (destination) {
    case Destination::ListTable:
        lists_.endListTable();
        break;
    case Destination::LevelText:
        if (RtfLists::Level *level = lists_.currentLevel()) {
            level->text = levelText_;
        }
        break;
    case Destination::Pn:
        state().para.pn = lists_.addPn(pendingPn_);
        break;
    case Destination::Picture:
        finishPicture();
        break;
    default:
        break;
    }
}

void RtfParser::handleWord(const RtfToken &token)
{
    expectTrailByte_ = false;
    const RtfKeywordInfo info = rtfKeyword(token.word);
    // Binary data is skipped in every destination, or its bytes would be read as RTF.
    if (info.keyword == RtfKeyword::Binary) {
        if (skipCount_ > 0) {
            --skipCount_;
        }
        const QByteArrayView data = tokenizer_.skipBinary(token.hasParameter ? token.parameter : 0);
        if (state().destination == Destination::Picture) {
            picture_.addBinary(data);
        }
        return;
    }
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }

    Destination &destination = state().destination;
    if (destination == Destination::Skip) {
        // After \* the group is skipped unless its first word names a destination the reader reads.
        if (!state().starred) {
            return;
        }
        state().starred = false;
        switch (info.keyword) {
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
        case RtfKeyword::Picture:
            destination = state().beforeStar;
            break;
        default:
            return;
        }
    }
    switch (info.keyword) {
    case RtfKeyword::SkipDestination:
        destination = Destination::Skip;
        return;
    case RtfKeyword::FontTable:
        destination = Destination::FontTable;
        pendingFontNumber_ = -1;
        return;
    case RtfKeyword::ColorTable:
        destination = Destination::ColorTable;
        pendingRgb_[0] = pendingRgb_[1] = pendingRgb_[2] = -1;
        return;
    default:
        break;
    }
    // \u and \uc read the same in running text and in font names.
    if (destination != Destination::ColorTable) {
        if (info.keyword == RtfKeyword::Unicode) {
            if (token.hasParameter) {
                handleUnicode(token.parameter);
            }
            return;
        }
        if (info.keyword == RtfKeyword::UnicodeSkip) {
            state().unicodeSkip = qMax(0, token.parameter);
            return;
        }
    }
    switch (destination) {
    case Destination::Text:
        if (!handlePartWord(info.keyword, token)) {
            handleTextWord(info, token);
        }
        break;
    case Destination::FontTable:
        handleFontTableWord(info.keyword, token);
        break;
    case Destination::ColorTable:
        handleColorTableWord(info.keyword, token);
        break;
    case Destination::ListTable:
        handleListTableWord(info.keyword, token);
        break;
    case Destination::ListOverrideTable:
        handleListOverrideWord(info.keyword, token);
        break;
    case Destination::Pn:
        if (info.keyword == RtfKeyword::PnNumberFormat) {
            pendingPn_.numberFormat = info.character;
        } else {
            handlePnWord(info.keyword, token);
        }
        break;
    case Destination::Picture:
        handlePictureWord(info.keyword, token);
        break;
    case Destination::FieldInstruction:
    case Destination::ListText:
    case Destination::PnText:
        handleTextWord(info, token);
        break;
    case Destination::LevelText:
    case Destination::Skip:
        break;
    }
}

void RtfParser::handleTextWord(RtfKeywordInfo info, const RtfToken &token)
{
    RtfCharState &chars = state().chars;
    RtfParaState &para = state().para;
    switch (info.keyword) {
    case RtfKeyword::Ansi:
        documentPage_ = RtfCodePage::Windows1252;
        break;
    case RtfKeyword::OtherCharacterSet:
        documentPage_ = RtfCodePage::OtherSingleByte;
        break;
    case RtfKeyword::AnsiCodePage:
        if (token.hasParameter) {
            documentPage_ = rtfCodePageFromNumber(token.parameter);
        }
        break;
    case RtfKeyword::DefaultFont:
        formats_.setDefaultFont(token.parameter);
        break;
    case RtfKeyword::Font:
        chars.font = token.hasParameter ? token.parameter : -1;
        break;
    case RtfKeyword::Bold:
        chars.bold = flagOf(token);
        break;
    case RtfKeyword::Italic:
        chars.italic = flagOf(token);
        break;
    case RtfKeyword::Underline:
        chars.underline = flagOf(token);
        break;
    case RtfKeyword::UnderlineNone:
        chars.underline = false;
        break;
    case RtfKeyword::Strike:
        chars.strike = flagOf(token);
        break;
    case RtfKeyword::Hidden:
        chars.hidden = flagOf(token);
        break;
    case RtfKeyword::Plain:
        chars = RtfCharState{};
        break;
    case RtfKeyword::FontSize:
        chars.halfPoints = (token.hasParameter && token.parameter > 0)
                               ? qBound(minHalfPoints, token.parameter, maxHalfPoints)
                               : defaultHalfPoints;
        break;
    case RtfKeyword::ForegroundColor:
        chars.color = token.parameter;
        break;
    case RtfKeyword::BackgroundColor:
        chars.background = token.parameter;
        break;
    case RtfKeyword::Subscript:
        chars.vertical = flagOf(token) ? RtfCharState::Vertical::Subscript : RtfCharState::Vertical::Normal;
        break;
    case RtfKeyword::Superscript:
        chars.vertical = flagOf(token) ? RtfCharState::Vertical::Superscript : RtfCharState::Vertical::Normal;
        break;
    case RtfKeyword::NoSuperSub:
        chars.vertical = RtfCharState::Vertical::Normal;
        break;
    case RtfKeyword::ParagraphDefault:
        para = RtfParaState{};
        break;
    case RtfKeyword::AlignLeft:
        para.alignment = RtfParaState::Alignment::Left;
        break;
    case RtfKeyword::AlignCenter:
        para.alignment = RtfParaState::Alignment::Center;
        break;
    case RtfKeyword::AlignRight:
        para.alignment = RtfParaState::Alignment::Right;
        break;
    case RtfKeyword::AlignJustify:
        para.alignment = RtfParaState::Alignment::Justify;
        break;
    case RtfKeyword::LeftIndent:
        para.leftTwips = RtfTwips::of(token);
        break;
    case RtfKeyword::RightIndent:
        para.rightTwips = RtfTwips::of(token);
        break;
    case RtfKeyword::FirstLineIndent:
        para.firstLineTwips = RtfTwips::of(token);
        break;
    case RtfKeyword::SpaceBefore:
        para.beforeTwips = RtfTwips::of(token);
        break;
    case RtfKeyword::SpaceAfter:
        para.afterTwips = RtfTwips::of(token);
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

void RtfParser::handleFontTableWord(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::Font:
        // Fonts listed without groups are each ended by a semicolon; a missing one must not merge two fonts.
        commitFont();
        pendingFontNumber_ = qMax(0, token.parameter);
        pendingFontCharset_ = -1;
        pendingFontName_.clear();
        break;
    case RtfKeyword::FontCharset:
        pendingFontCharset_ = token.parameter;
        break;
    default:
        break;
    }
}

void RtfParser::handleColorTableWord(RtfKeyword keyword, const RtfToken &token)
{
    const int value = qBound(0, token.parameter, 255);
    switch (keyword) {
    case RtfKeyword::Red:
        pendingRgb_[0] = value;
        break;
    case RtfKeyword::Green:
        pendingRgb_[1] = value;
        break;
    case RtfKeyword::Blue:
        pendingRgb_[2] = value;
        break;
    default:
        break;
    }
}

void RtfParser::handleSymbol(char symbol)
{
    expectTrailByte_ = false;
    if (skipCount_ > 0) {
        --skipCount_;
        return;
    }
    if (symbol == '*') {
        if (state().destination != Destination::Skip) {
            state().beforeStar = state().destination;
            state().starred = true;
            state().destination = Destination::Skip;
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

void RtfParser::commitFont()
{
    if (pendingFontNumber_ < 0) {
        return;
    }
    RtfFont font;
    font.name = pendingFontName_.trimmed();
    font.page =
        pendingFontCharset_ < 0 ? documentPage_ : rtfCodePageFromCharset(pendingFontCharset_, font.name, documentPage_);
    formats_.addFont(pendingFontNumber_, font);
    pendingFontNumber_ = -1;
    pendingFontCharset_ = -1;
    pendingFontName_.clear();
}

void RtfParser::commitColor()
{
    // An entry with no components is "auto": the reader's default colour.
    const bool automatic = pendingRgb_[0] < 0 && pendingRgb_[1] < 0 && pendingRgb_[2] < 0;
    formats_.addColor(automatic ? QColor()
                                : QColor(qMax(0, pendingRgb_[0]), qMax(0, pendingRgb_[1]), qMax(0, pendingRgb_[2])));
    pendingRgb_[0] = pendingRgb_[1] = pendingRgb_[2] = -1;
}
