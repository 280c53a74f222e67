#include "rtf/RtfTableCellFormat.h"

#include "rtf/RtfTwips.h"

#include <tuple>

namespace {

// A side without a colour of its own takes the colour of the cell's other sides, and black where it is drawn and
// none is given; a side that is not drawn and has no colour gets none.
QBrush sideBrush(const RtfCellDef &definition, int index, bool shown)
{
    if (definition.borderColors.at(index).isValid()) {
        return definition.borderColors.at(index);
    }
    for (const QColor &color : definition.borderColors) {
        if (color.isValid()) {
            return color;
        }
    }
    return shown ? QBrush(Qt::black) : QBrush();
}

} // namespace

namespace RtfTableCellFormat {

QTextTableFormat table(const QList<QTextLength> &widths)
{
    QTextTableFormat format;
    format.setBorder(0);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    format.setColumnWidthConstraints(widths);
    return format;
}

QTextTableCellFormat cell(QTextTableCellFormat format, const RtfCellDef &definition)
{
    const qreal width = definition.borderTwips > 0 ? qMax(1.0, definition.borderTwips / RtfTwips::perPixel) : 1.0;
    const auto side = [&](quint8 side, int index) {
        const bool shown = (definition.borders & side) != 0;
        return std::tuple{shown ? width : 0.0,
                          shown ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None,
                          sideBrush(definition, index, shown)};
    };
    const auto [top, topStyle, topBrush] = side(RtfCellDef::Top, 0);
    format.setTopBorder(top);
    format.setTopBorderStyle(topStyle);
    format.setTopBorderBrush(topBrush);
    const auto [left, leftStyle, leftBrush] = side(RtfCellDef::Left, 1);
    format.setLeftBorder(left);
    format.setLeftBorderStyle(leftStyle);
    format.setLeftBorderBrush(leftBrush);
    const auto [bottom, bottomStyle, bottomBrush] = side(RtfCellDef::Bottom, 2);
    format.setBottomBorder(bottom);
    format.setBottomBorderStyle(bottomStyle);
    format.setBottomBorderBrush(bottomBrush);
    const auto [right, rightStyle, rightBrush] = side(RtfCellDef::Right, 3);
    format.setRightBorder(right);
    format.setRightBorderStyle(rightStyle);
    format.setRightBorderBrush(rightBrush);
    if (definition.background.isValid()) {
        format.setBackground(definition.background);
    }
    return format;
}

} // namespace RtfTableCellFormat
