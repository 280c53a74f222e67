#include "rtf/RtfTableReader.h"

#include "rtf/RtfFormats.h"

namespace {

constexpr int maxCells = 64;
// \cellx is read as far as this, beyond a page's width: a writer that knows only relative widths (LibreOffice
// from HTML) writes them as parts of 65534, which the table writer scales to the text's width.
constexpr int maxCellTwips = 1 << 20;
constexpr int fullShading = 10000;

int sideIndex(quint8 side)
{
    switch (side) {
    case RtfCellDef::Top:
        return 0;
    case RtfCellDef::Left:
        return 1;
    case RtfCellDef::Bottom:
        return 2;
    default:
        return 3;
    }
}

QColor mixed(QColor background, QColor pattern, int shading)
{
    if (!background.isValid()) {
        background = Qt::white;
    }
    if (!pattern.isValid()) {
        pattern = Qt::black;
    }
    const auto mix = [shading](int back, int front) {
        return (back * (fullShading - shading) + front * shading) / fullShading;
    };
    return QColor(mix(background.red(), pattern.red()), mix(background.green(), pattern.green()),
                  mix(background.blue(), pattern.blue()));
}

} // namespace

bool RtfTableReader::word(RtfKeyword keyword, const RtfToken &token, int depth)
{
    if (keyword != RtfKeyword::RowDefaults) {
        return cellWord(keyword, token) || borderWord(keyword, token);
    }
    defining_ = qBound(1, depth, maxDepth) - 1;
    rows_[defining_] = RtfRowDef{};
    pendingCell_ = RtfCellDef{};
    pattern_ = patternBackground_ = -1;
    shading_ = 0;
    borderSide_ = 0;
    return true;
}

bool RtfTableReader::cellWord(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::CellMergeFirst:
        pendingCell_.across = RtfCellDef::Merge::First;
        return true;
    case RtfKeyword::CellMerged:
        pendingCell_.across = RtfCellDef::Merge::Covered;
        return true;
    case RtfKeyword::CellMergeDownFirst:
        pendingCell_.down = RtfCellDef::Merge::First;
        return true;
    case RtfKeyword::CellMergedDown:
        pendingCell_.down = RtfCellDef::Merge::Covered;
        return true;
    case RtfKeyword::CellBackground:
        patternBackground_ = token.parameter;
        return true;
    case RtfKeyword::CellPattern:
        pattern_ = token.parameter;
        return true;
    case RtfKeyword::CellShading:
        shading_ = qBound(0, token.parameter, fullShading);
        return true;
    case RtfKeyword::CellRight:
        endCellDefinition(token);
        return true;
    default:
        return false;
    }
}

bool RtfTableReader::borderWord(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
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
    case RtfKeyword::BorderColor:
        if (borderSide_ != 0) {
            pendingCell_.borderColors[sideIndex(borderSide_)] = formats_.color(token.parameter);
        }
        return true;
    default:
        return false;
    }
}

void RtfTableReader::endCellDefinition(const RtfToken &token)
{
    RtfRowDef &row = rows_[defining_];
    pendingCell_.rightTwips = token.hasParameter ? qBound(0, token.parameter, maxCellTwips) : 0;
    const QColor background = formats_.color(patternBackground_);
    pendingCell_.background = shading_ > 0 ? mixed(background, formats_.color(pattern_), shading_) : background;
    if (row.cells.size() < maxCells) {
        row.cells.append(pendingCell_);
    }
    pendingCell_ = RtfCellDef{};
    pattern_ = patternBackground_ = -1;
    shading_ = 0;
    borderSide_ = 0;
}
