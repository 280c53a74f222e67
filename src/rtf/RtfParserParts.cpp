// The parts of RtfParser beyond running text: fields and their links, list tables and old-style numbering,
// tab stops, tables and pictures.

#include "rtf/RtfParser.h"
#include "rtf/RtfTwips.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int maxTabs = 64;
constexpr int maxCells = 64;
constexpr int maxStart = 1'000'000;
constexpr int maxScale = 1000;

// The address of a HYPERLINK field's instruction: HYPERLINK "address", or HYPERLINK \l "bookmark";
// empty for any other field.
QString hyperlinkAddress(const QString &instruction)
{
    QStringView rest = QStringView(instruction).trimmed();
    if (!rest.startsWith(u"HYPERLINK"_s, Qt::CaseInsensitive)) {
        return {};
    }
    rest = rest.sliced(9);
    QString address;
    bool bookmark = false;
    bool skipArgument = false;
    while (!(rest = rest.trimmed()).isEmpty()) {
        QStringView word;
        if (rest.front() == u'"') {
            const qsizetype end = rest.indexOf(u'"', 1);
            word = end < 0 ? rest.sliced(1) : rest.sliced(1, end - 1);
            rest = end < 0 ? QStringView() : rest.sliced(end + 1);
        } else {
            qsizetype end = 0;
            while (end < rest.size() && !rest.at(end).isSpace()) {
                ++end;
            }
            word = rest.first(end);
            rest = rest.sliced(end);
        }
        if (skipArgument) {
            skipArgument = false;
        } else if (word == u"\\l") {
            bookmark = true;
        } else if (word == u"\\o" || word == u"\\t") {
            skipArgument = true; // a tooltip or a target frame
        } else if (!word.startsWith(u'\\') && address.isEmpty()) {
            address = bookmark ? u'#' + word.toString() : word.toString();
        }
    }
    return address;
}

} // namespace

bool RtfParser::handlePartWord(RtfKeyword keyword, const RtfToken &token)
{
    RtfParaState &para = state().para;
    switch (keyword) {
    case RtfKeyword::Field:
        fieldInstruction_.clear();
        return true;
    case RtfKeyword::FieldInstruction:
        beginDestination(Destination::FieldInstruction);
        fieldInstruction_.clear();
        return true;
    case RtfKeyword::FieldResult:
        applyFieldResult();
        return true;
    case RtfKeyword::ListTable:
        beginDestination(Destination::ListTable);
        return true;
    case RtfKeyword::ListOverrideTable:
        beginDestination(Destination::ListOverrideTable);
        return true;
    case RtfKeyword::ListText:
        beginDestination(Destination::ListText);
        listText_.clear();
        listTextChars_ = state().chars;
        hasListText_ = true;
        return true;
    case RtfKeyword::Pn:
        beginDestination(Destination::Pn);
        pendingPn_ = RtfLists::Pn{};
        return true;
    case RtfKeyword::PnTextBefore:
    case RtfKeyword::PnTextAfter:
    case RtfKeyword::LevelText:
        // Only meaningful inside their tables.
        state().destination = Destination::Skip;
        return true;
    case RtfKeyword::ListOverrideNumber:
        para.listOverride = token.parameter;
        return true;
    case RtfKeyword::ListLevelNumber:
        para.listLevel = qBound(0, token.parameter, RtfLists::maxLevels - 1);
        return true;
    case RtfKeyword::TabPosition:
        if (para.tabs.size() < maxTabs) {
            para.tabs.append(RtfTab{RtfTwips::of(token), para.nextTabKind});
        }
        para.nextTabKind = RtfTab::Kind::Left;
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
    case RtfKeyword::RowDefaults:
        rowDef_ = RtfRowDef{};
        pendingCell_ = RtfCellDef{};
        borderSide_ = 0;
        return true;
    case RtfKeyword::CellBorderTop:
        borderSide_ = RtfCellDef::Top;
        return true;
    case RtfKeyword::CellBorderLeft:
        borderSide_ = RtfCellDef::Left;
        return true;
    case RtfKeyword::CellBorderBottom:
        borderSide_ = RtfCellDef::Bottom;
        return true;
    case RtfKeyword::CellBorderRight:
        borderSide_ = RtfCellDef::Right;
        return true;
    case RtfKeyword::OtherBorder:
        borderSide_ = 0;
        return true;
    case RtfKeyword::BorderStyle:
        pendingCell_.borders |= borderSide_;
        return true;
    case RtfKeyword::BorderNone:
        pendingCell_.borders &= quint8(~borderSide_);
        return true;
    case RtfKeyword::BorderWidth:
        if (borderSide_ != 0) {
            pendingCell_.borderTwips = qBound(0, token.parameter, 255);
        }
        return true;
    case RtfKeyword::CellRight:
        pendingCell_.rightTwips = RtfTwips::of(token);
        if (rowDef_.cells.size() < maxCells) {
            rowDef_.cells.append(pendingCell_);
        }
        pendingCell_ = RtfCellDef{};
        borderSide_ = 0;
        return true;
    case RtfKeyword::Cell:
        endCell();
        return true;
    case RtfKeyword::Row:
        endRow();
        return true;
    case RtfKeyword::ShapePicture:
        return true;
    case RtfKeyword::Picture:
        beginDestination(Destination::Picture);
        picture_ = RtfPicture{};
        return true;
    default:
        return false;
    }
}

void RtfParser::handleListTableWord(RtfKeyword keyword, const RtfToken &token)
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
    case RtfKeyword::LevelText:
        beginDestination(Destination::LevelText);
        levelText_.clear();
        break;
    default:
        break;
    }
}

void RtfParser::handleListOverrideWord(RtfKeyword keyword, const RtfToken &token)
{
    if (keyword == RtfKeyword::ListId) {
        lists_.setOverrideListId(token.parameter);
    } else if (keyword == RtfKeyword::ListOverrideNumber) {
        lists_.addOverride(token.parameter);
    }
}

void RtfParser::handlePnWord(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::PnLevelBullet:
        pendingPn_.kind = RtfLists::Pn::Kind::Bullet;
        break;
    case RtfKeyword::PnLevelNumber:
        pendingPn_.kind = RtfLists::Pn::Kind::Number;
        break;
    case RtfKeyword::PnLevelNone:
        pendingPn_.kind = RtfLists::Pn::Kind::None;
        break;
    case RtfKeyword::PnStart:
        pendingPn_.startAt = qBound(-maxStart, token.parameter, maxStart);
        break;
    case RtfKeyword::PnFont:
        // The font of the bullet or of the text around the number.
        state().chars.font = token.parameter;
        break;
    case RtfKeyword::PnTextBefore:
    case RtfKeyword::PnTextAfter:
        beginDestination(Destination::PnText);
        pnTextAfter_ = keyword == RtfKeyword::PnTextAfter;
        break;
    default:
        break;
    }
}

void RtfParser::handlePictureWord(RtfKeyword keyword, const RtfToken &token)
{
    const int twips = qBound(0, token.parameter, RtfTwips::max);
    const int scale = qBound(1, token.parameter, maxScale);
    switch (keyword) {
    case RtfKeyword::PictureIsPng:
        picture_.setKind(RtfPicture::Kind::Png);
        break;
    case RtfKeyword::PictureIsJpeg:
        picture_.setKind(RtfPicture::Kind::Jpeg);
        break;
    case RtfKeyword::PictureWidthGoal:
        picture_.setWidthGoal(twips);
        break;
    case RtfKeyword::PictureHeightGoal:
        picture_.setHeightGoal(twips);
        break;
    case RtfKeyword::PictureScaleX:
        picture_.setScaleX(scale);
        break;
    case RtfKeyword::PictureScaleY:
        picture_.setScaleY(scale);
        break;
    default:
        break;
    }
}

QTextBlockFormat RtfParser::paragraphFormat()
{
    const RtfParaState &para = state().para;
    if (para.leftTwips != 0 || para.firstLineTwips != 0 || para.listOverride == 0) {
        return formats_.blockFormat(para);
    }
    const RtfLists::Level *level = lists_.level(para.listOverride, para.listLevel);
    if (level == nullptr) {
        return formats_.blockFormat(para);
    }
    RtfParaState indented = para;
    indented.leftTwips = level->leftTwips;
    indented.firstLineTwips = level->firstLineTwips;
    return formats_.blockFormat(indented);
}

void RtfParser::applyFieldResult()
{
    const QString address = hyperlinkAddress(fieldInstruction_);
    if (address.isEmpty()) {
        return;
    }
    const int link = formats_.addLink(address);
    if (link >= 0) {
        state().chars.link = link;
    }
}

// A picture that cannot be shown, or that would pass the pixels the pictures may take together, is left
// out; the rest of the document does not notice.
void RtfParser::finishPicture()
{
    RtfPicture picture = std::exchange(picture_, RtfPicture{});
    if (state().destination != Destination::Text || state().chars.hidden || !writer_.takesImage()) {
        return;
    }
    const QImage image = picture.decode(picturePixelsLeft_);
    if (image.isNull()) {
        return;
    }
    picturePixelsLeft_ -= qint64(image.width()) * image.height();
    if (!paragraphTextStarted_) {
        startParagraphText();
    }
    writer_.appendImage(image, picture.displaySize(image.size()));
}

void RtfParser::endCell()
{
    if (!state().para.inTable && !writer_.rowOpen()) {
        // A cell end outside any table separates like a tab.
        emitCharacter(u'\t');
        return;
    }
    flushLoneSurrogate();
    if (!paragraphTextStarted_) {
        startParagraphText();
    }
    writer_.endCell(paragraphFormat(), formats_.charFormat(state().chars));
    paragraphTextStarted_ = false;
}

void RtfParser::endRow()
{
    if (!state().para.inTable && !writer_.rowOpen()) {
        paragraphBreak();
        return;
    }
    flushLoneSurrogate();
    writer_.endRow(rowDef_);
    paragraphTextStarted_ = false;
}
