#include "rtf/RtfFormatWords.h"

#include "rtf/RtfLists.h"
#include "rtf/RtfTwips.h"

namespace {

constexpr int defaultHalfPoints = 24;
constexpr int minHalfPoints = 2;
constexpr int maxHalfPoints = 1000;
constexpr int maxTabs = 64;
constexpr int defaultRaise = 6; // \\up and \\dn without a number

bool flagOf(const RtfToken &token)
{
    return !token.hasParameter || token.parameter != 0;
}

bool applyCharacter(RtfKeyword keyword, const RtfToken &token, RtfCharState &chars)
{
    switch (keyword) {
    case RtfKeyword::Font:
        chars.font = token.hasParameter ? token.parameter : -1;
        return true;
    case RtfKeyword::Bold:
        chars.bold = flagOf(token);
        return true;
    case RtfKeyword::Italic:
        chars.italic = flagOf(token);
        return true;
    case RtfKeyword::Underline:
        chars.underline = flagOf(token);
        return true;
    case RtfKeyword::UnderlineNone:
        chars.underline = false;
        return true;
    case RtfKeyword::Strike:
        chars.strike = flagOf(token);
        return true;
    case RtfKeyword::Hidden:
        chars.hidden = flagOf(token);
        return true;
    case RtfKeyword::Plain:
        chars = RtfCharState{};
        return true;
    case RtfKeyword::FontSize:
        chars.halfPoints = (token.hasParameter && token.parameter > 0)
                               ? qBound(minHalfPoints, token.parameter, maxHalfPoints)
                               : defaultHalfPoints;
        return true;
    case RtfKeyword::ForegroundColor:
        chars.color = token.parameter;
        return true;
    case RtfKeyword::BackgroundColor:
        chars.background = token.parameter;
        return true;
    case RtfKeyword::Subscript:
        chars.vertical = flagOf(token) ? RtfCharState::Vertical::Subscript : RtfCharState::Vertical::Normal;
        return true;
    case RtfKeyword::Superscript:
        chars.vertical = flagOf(token) ? RtfCharState::Vertical::Superscript : RtfCharState::Vertical::Normal;
        return true;
    case RtfKeyword::NoSuperSub:
        chars.vertical = RtfCharState::Vertical::Normal;
        return true;
    case RtfKeyword::Raised:
    case RtfKeyword::Lowered: {
        const int amount = qBound(-maxHalfPoints, token.hasParameter ? token.parameter : defaultRaise, maxHalfPoints);
        chars.raise = keyword == RtfKeyword::Raised ? amount : -amount;
        return true;
    }
    case RtfKeyword::SmallCaps:
        chars.smallCaps = flagOf(token);
        return true;
    case RtfKeyword::Caps:
        chars.caps = flagOf(token);
        return true;
    default:
        return false;
    }
}

bool applyParagraph(RtfKeyword keyword, const RtfToken &token, RtfParaState &para)
{
    switch (keyword) {
    case RtfKeyword::ParagraphDefault:
        para = RtfParaState{};
        return true;
    case RtfKeyword::AlignLeft:
        para.alignment = RtfParaState::Alignment::Left;
        return true;
    case RtfKeyword::AlignCenter:
        para.alignment = RtfParaState::Alignment::Center;
        return true;
    case RtfKeyword::AlignRight:
        para.alignment = RtfParaState::Alignment::Right;
        return true;
    case RtfKeyword::AlignJustify:
        para.alignment = RtfParaState::Alignment::Justify;
        return true;
    case RtfKeyword::LeftIndent:
        para.leftTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::RightIndent:
        para.rightTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::FirstLineIndent:
        para.firstLineTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::SpaceBefore:
        para.beforeTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::SpaceAfter:
        para.afterTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::LineSpacing:
        para.lineTwips = RtfTwips::of(token);
        return true;
    case RtfKeyword::LineMultiple:
        para.lineMultiple = flagOf(token);
        return true;
    case RtfKeyword::RightToLeft:
    case RtfKeyword::LeftToRight:
        para.rightToLeft = keyword == RtfKeyword::RightToLeft;
        return true;
    case RtfKeyword::ParagraphBackground:
        para.background = qMax(0, token.parameter);
        return true;
    default:
        return false;
    }
}

// A stop that the paragraph sets again at the same place (writers repeat the style's stops) replaces the first.
void addTab(RtfParaState &para, int twips)
{
    const RtfTab tab{twips, para.nextTabKind, para.nextTabLeader};
    para.nextTabKind = RtfTab::Kind::Left;
    para.nextTabLeader = u' ';
    for (RtfTab &known : para.tabs) {
        if (known.twips == twips) {
            known = tab;
            return;
        }
    }
    if (para.tabs.size() < maxTabs) {
        para.tabs.append(tab);
    }
}

} // namespace

bool RtfFormatWords::applyFormatting(RtfKeyword keyword, const RtfToken &token, RtfCharState &chars, RtfParaState &para)
{
    return applyCharacter(keyword, token, chars) || applyParagraph(keyword, token, para);
}

bool RtfFormatWords::applyPlacement(RtfKeywordInfo info, const RtfToken &token, RtfParaState &para)
{
    switch (info.keyword) {
    case RtfKeyword::ListOverrideNumber:
        para.listOverride = token.parameter;
        return true;
    case RtfKeyword::ListLevelNumber:
        para.listLevel = qBound(0, token.parameter, RtfLists::maxLevels - 1);
        return true;
    case RtfKeyword::TabPosition:
        addTab(para, RtfTwips::of(token));
        return true;
    case RtfKeyword::TabLeader:
        para.nextTabLeader = info.character;
        return true;
    case RtfKeyword::TabRight:
        para.nextTabKind = RtfTab::Kind::Right;
        return true;
    case RtfKeyword::TabCenter:
        para.nextTabKind = RtfTab::Kind::Center;
        return true;
    case RtfKeyword::TabDecimal:
        para.nextTabKind = RtfTab::Kind::Decimal;
        return true;
    case RtfKeyword::InTable:
        para.inTable = true;
        return true;
    default:
        return false;
    }
}
