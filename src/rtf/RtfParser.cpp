#include "rtf/RtfParser.h"

namespace {

constexpr int maxTwips = 31680; // 22 inches
constexpr int defaultHalfPoints = 24;
constexpr int minHalfPoints = 2;
constexpr int maxHalfPoints = 1000;

bool flagOf(const RtfToken &token)
{
    return !token.hasParameter || token.parameter != 0;
}
int twipsOf(const RtfToken &token)
{
    return token.hasParameter ? qBound(-maxTwips, token.parameter, maxTwips) : 0;
}

} // namespace

RtfParser::RtfParser(QByteArrayView input, QTextDocument &document, int maxDepth, qsizetype maxGroups,
                     qsizetype maxOutputChars)
    : m_tokenizer(input), m_writer(document, maxOutputChars), m_maxDepth(qMax(1, maxDepth)), m_maxGroups(maxGroups)
{
    m_stack.reserve(qMin(m_maxDepth, 256) + 1);
    m_stack.append(GroupState{});
}

RtfParser::Status RtfParser::run()
{
    Status status = Status::Finished;
    while (!m_done) {
        const RtfToken token = m_tokenizer.next();
        switch (token.kind) {
        case RtfToken::Kind::End:
            m_done = true;
            break;
        case RtfToken::Kind::GroupStart:
            if (!openGroup()) {
                status = Status::TooManyGroups;
                m_done = true;
            }
            break;
        case RtfToken::Kind::GroupEnd:
            m_done = closeGroup();
            break;
        case RtfToken::Kind::ControlWord:
            handleWord(token);
            break;
        case RtfToken::Kind::ControlSymbol:
            handleSymbol(token.symbol);
            break;
        case RtfToken::Kind::HexByte:
            if (m_skipCount > 0)
                --m_skipCount;
            else
                handleByte(token.byte, false, currentPage());
            break;
        case RtfToken::Kind::Text:
            handleText(token.word);
            break;
        }
        if (m_writer.limitReached()) {
            status = Status::TooMuchOutput;
            m_done = true;
        }
    }
    flushLoneSurrogate();
    m_writer.finish(m_formats.blockFormat(state().para), m_formats.charFormat(state().chars));
    return status;
}

bool RtfParser::openGroup()
{
    if (++m_groupCount > m_maxGroups)
        return false;
    m_skipCount = 0;
    m_expectTrailByte = false;
    if (m_overflowDepth > 0 || m_stack.size() > m_maxDepth) {
        if (m_overflowDepth++ == 0)
            m_overflowSaved = state();
        return true;
    }
    const GroupState copy = state();
    m_stack.append(copy);
    return true;
}

bool RtfParser::closeGroup()
{
    m_skipCount = 0;
    m_expectTrailByte = false;
    if (state().destination == Destination::FontTable)
        commitFont();
    if (m_overflowDepth > 0) {
        if (--m_overflowDepth == 0)
            state() = m_overflowSaved;
        return false;
    }
    // The outermost group ends the document; its state stays for the last paragraph, and anything after
    // it does not belong to the document.
    if (m_stack.size() <= 2)
        return true;
    m_stack.removeLast();
    return false;
}

void RtfParser::handleWord(const RtfToken &token)
{
    m_expectTrailByte = false;
    const RtfKeywordInfo info = rtfKeyword(token.word);
    // Binary data is skipped in every destination, or its bytes would be read as RTF.
    if (info.keyword == RtfKeyword::Binary) {
        if (m_skipCount > 0)
            --m_skipCount;
        m_tokenizer.skipBinary(token.hasParameter ? token.parameter : 0);
        return;
    }
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }

    Destination &destination = state().destination;
    if (destination == Destination::Skip)
        return;
    switch (info.keyword) {
    case RtfKeyword::SkipDestination:
        destination = Destination::Skip;
        return;
    case RtfKeyword::FontTable:
        destination = Destination::FontTable;
        m_pendingFontNumber = -1;
        return;
    case RtfKeyword::ColorTable:
        destination = Destination::ColorTable;
        m_pendingRgb[0] = m_pendingRgb[1] = m_pendingRgb[2] = -1;
        return;
    default:
        break;
    }
    // \u and \uc read the same in running text and in font names.
    if (destination != Destination::ColorTable) {
        if (info.keyword == RtfKeyword::Unicode) {
            if (token.hasParameter)
                handleUnicode(token.parameter);
            return;
        }
        if (info.keyword == RtfKeyword::UnicodeSkip) {
            state().unicodeSkip = qMax(0, token.parameter);
            return;
        }
    }
    switch (destination) {
    case Destination::Text:
        handleTextWord(info, token);
        break;
    case Destination::FontTable:
        handleFontTableWord(info.keyword, token);
        break;
    case Destination::ColorTable:
        handleColorTableWord(info.keyword, token);
        break;
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
        m_documentPage = RtfCodePage::Windows1252;
        break;
    case RtfKeyword::OtherCharacterSet:
        m_documentPage = RtfCodePage::OtherSingleByte;
        break;
    case RtfKeyword::AnsiCodePage:
        if (token.hasParameter)
            m_documentPage = rtfCodePageFromNumber(token.parameter);
        break;
    case RtfKeyword::DefaultFont:
        m_formats.setDefaultFont(token.parameter);
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
        para.leftTwips = twipsOf(token);
        break;
    case RtfKeyword::RightIndent:
        para.rightTwips = twipsOf(token);
        break;
    case RtfKeyword::FirstLineIndent:
        para.firstLineTwips = twipsOf(token);
        break;
    case RtfKeyword::SpaceBefore:
        para.beforeTwips = twipsOf(token);
        break;
    case RtfKeyword::SpaceAfter:
        para.afterTwips = twipsOf(token);
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
        m_pendingFontNumber = qMax(0, token.parameter);
        m_pendingFontCharset = -1;
        m_pendingFontName.clear();
        break;
    case RtfKeyword::FontCharset:
        m_pendingFontCharset = token.parameter;
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
        m_pendingRgb[0] = value;
        break;
    case RtfKeyword::Green:
        m_pendingRgb[1] = value;
        break;
    case RtfKeyword::Blue:
        m_pendingRgb[2] = value;
        break;
    default:
        break;
    }
}

void RtfParser::handleSymbol(char symbol)
{
    m_expectTrailByte = false;
    if (m_skipCount > 0) {
        --m_skipCount;
        return;
    }
    if (symbol == '*') {
        state().destination = Destination::Skip;
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
    if (m_pendingFontNumber < 0)
        return;
    RtfFont font;
    font.name = m_pendingFontName.trimmed();
    font.page = m_pendingFontCharset < 0 ? m_documentPage
                                         : rtfCodePageFromCharset(m_pendingFontCharset, font.name, m_documentPage);
    m_formats.addFont(m_pendingFontNumber, font);
    m_pendingFontNumber = -1;
    m_pendingFontCharset = -1;
    m_pendingFontName.clear();
}

void RtfParser::commitColor()
{
    // An entry with no components is "auto": the reader's default colour.
    const bool automatic = m_pendingRgb[0] < 0 && m_pendingRgb[1] < 0 && m_pendingRgb[2] < 0;
    m_formats.addColor(
        automatic ? QColor() : QColor(qMax(0, m_pendingRgb[0]), qMax(0, m_pendingRgb[1]), qMax(0, m_pendingRgb[2])));
    m_pendingRgb[0] = m_pendingRgb[1] = m_pendingRgb[2] = -1;
}
