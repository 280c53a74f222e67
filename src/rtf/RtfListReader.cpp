#include "rtf/RtfListReader.h"

#include "rtf/RtfTwips.h"

#include <algorithm>

namespace {

constexpr int maxStart = 1'000'000;
constexpr qsizetype maxLabelLength = 64;

void appendTo(QString &text, char16_t unit)
{
    if (text.size() < maxLabelLength) {
        text.append(QChar(unit));
    }
}

} // namespace

void RtfListReader::listTableWord(RtfKeyword keyword, const RtfToken &token)
{
    if (keyword == RtfKeyword::List) {
        lists_.beginList();
        return;
    }
    if (keyword == RtfKeyword::ListId) {
        lists_.setListId(token.parameter);
        return;
    }
    RtfLists::Level *level = keyword == RtfKeyword::ListLevel ? lists_.addLevel() : lists_.currentLevel();
    if (level == nullptr) {
        return;
    }
    switch (keyword) {
    case RtfKeyword::LevelNumberFormat:
        level->numberFormat = token.parameter;
        break;
    case RtfKeyword::LevelStartAt:
        level->startAt = qBound(-maxStart, token.parameter, maxStart);
        break;
    case RtfKeyword::LevelFollow:
        level->follow = token.parameter;
        break;
    case RtfKeyword::Font:
        level->font = token.parameter;
        break;
    case RtfKeyword::LeftIndent:
        level->leftTwips = RtfTwips::of(token);
        break;
    case RtfKeyword::FirstLineIndent:
        level->firstLineTwips = RtfTwips::of(token);
        break;
    default:
        break;
    }
}

bool RtfListReader::beginLevelText()
{
    if (lists_.currentLevel() == nullptr) {
        return false;
    }
    levelText_.clear();
    return true;
}

void RtfListReader::appendToLevelText(char16_t unit)
{
    appendTo(levelText_, unit);
}

void RtfListReader::endLevelText()
{
    if (RtfLists::Level *level = lists_.currentLevel()) {
        level->text = levelText_;
    }
}

void RtfListReader::overrideWord(RtfKeyword keyword, const RtfToken &token)
{
    if (keyword == RtfKeyword::ListId) {
        lists_.setOverrideListId(token.parameter);
    } else if (keyword == RtfKeyword::ListOverrideNumber) {
        lists_.addOverride(token.parameter);
    }
}

bool RtfListReader::pnWord(RtfKeywordInfo info, const RtfToken &token, RtfCharState &chars)
{
    switch (info.keyword) {
    case RtfKeyword::PnNumberFormat:
        pendingPn_.numberFormat = info.character;
        return false;
    case RtfKeyword::PnLevelBullet:
        pendingPn_.kind = RtfLists::Pn::Kind::Bullet;
        return false;
    case RtfKeyword::PnLevelNumber:
        pendingPn_.kind = RtfLists::Pn::Kind::Number;
        return false;
    case RtfKeyword::PnLevelNone:
        pendingPn_.kind = RtfLists::Pn::Kind::None;
        return false;
    case RtfKeyword::PnStart:
        pendingPn_.startAt = qBound(-maxStart, token.parameter, maxStart);
        return false;
    case RtfKeyword::PnFont:
        // The font of the bullet or of the text around the number.
        chars.font = token.parameter;
        return false;
    case RtfKeyword::PnTextBefore:
    case RtfKeyword::PnTextAfter:
        pnTextAfter_ = info.keyword == RtfKeyword::PnTextAfter;
        return true;
    default:
        return false;
    }
}

void RtfListReader::appendToPnText(char16_t unit)
{
    appendTo(pnTextAfter_ ? pendingPn_.after : pendingPn_.before, unit);
}

void RtfListReader::beginListText(const RtfCharState &chars)
{
    listText_.clear();
    listTextChars_ = chars;
    hasListText_ = true;
}

// The label ends with its tab. Some writers wrap whole paragraphs in \\listtext; they are not the label.
void RtfListReader::appendToListText(char16_t unit)
{
    if (!listText_.endsWith(u'\t')) {
        appendTo(listText_, unit);
    }
}

// A list paragraph begins with its number or bullet. Writers put their own rendering of it in \listtext, for
// readers without lists; where that shows no number (a tab alone), the number comes from the list tables or the
// old-style numbering, and a level that shows nothing, or a paragraph outside any list, puts nothing there at all.
RtfListReader::Label RtfListReader::startParagraph(const RtfParaState &para, const RtfCharState &chars,
                                                   RtfCodePage documentPage)
{
    bool inList = true;
    QString numbered;
    if (para.listOverride != 0 && lists_.knows(para.listOverride, para.listLevel)) {
        numbered = lists_.nextLabel(para.listOverride, para.listLevel, formats_, documentPage);
    } else if (para.pn >= 0) {
        numbered = lists_.nextPnLabel(para.pn);
    } else {
        inList = false;
        lists_.paragraphWithoutList();
    }
    if (!std::exchange(hasListText_, false)) {
        return {};
    }
    QString written = std::exchange(listText_, QString());
    const bool writtenShowsNumber = std::any_of(written.cbegin(), written.cend(), [](QChar c) { return !c.isSpace(); });
    if (!writtenShowsNumber) {
        return {inList ? numbered : QString(), chars};
    }
    return {std::move(written), listTextChars_};
}

const RtfLists::Level *RtfListReader::indentsFor(const RtfParaState &para) const
{
    if (para.leftTwips != 0 || para.firstLineTwips != 0 || para.listOverride == 0) {
        return nullptr;
    }
    return lists_.level(para.listOverride, para.listLevel);
}

void RtfListReader::endListTable()
{
    lists_.endListTable();
}

void RtfListReader::beginPn()
{
    pendingPn_ = RtfLists::Pn{};
}

int RtfListReader::endPn()
{
    return lists_.addPn(pendingPn_);
}
