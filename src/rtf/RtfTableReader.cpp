#include "rtf/RtfTableReader.h"

#include "rtf/RtfTwips.h"

namespace {

constexpr int maxCells = 64;

} // namespace

bool RtfTableReader::word(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::RowDefaults:
        row_ = RtfRowDef{};
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
        if (row_.cells.size() < maxCells) {
            row_.cells.append(pendingCell_);
        }
        pendingCell_ = RtfCellDef{};
        borderSide_ = 0;
        return true;
    default:
        return false;
    }
}
