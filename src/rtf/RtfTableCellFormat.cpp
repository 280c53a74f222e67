#include "rtf/RtfTableCellFormat.h"

#include "rtf/RtfTwips.h"

#include <QFontMetricsF>

#include <tuple>

namespace {

constexpr int paddingPixels = 4;
// Words longer than this break anyway: the reader gives them places to break.
constexpr qsizetype maxWordChars = 64;

QStringView longestWord(QStringView text)
{
    QStringView longest;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text.at(i).isSpace() || text.at(i) == QChar(0x200B)) {
            if (i - start > longest.size()) {
                longest = text.sliced(start, qMin(i - start, maxWordChars));
            }
            start = i + 1;
        }
    }
    return longest;
}

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
    format.setCellPadding(paddingPixels);
    format.setColumnWidthConstraints(widths);
    return format;
}

int wordTwips(const RtfParagraph &paragraph)
{
    qreal widest = 0;
    qsizetype runStart = 0;
    for (const RtfTextRun &run : paragraph.runs) {
        const qsizetype end = qBound(runStart, run.end, paragraph.text.size());
        if (run.format.isImageFormat()) {
            widest = qMax(widest, run.format.toImageFormat().width());
        } else if (const QStringView word = longestWord(QStringView(paragraph.text).sliced(runStart, end - runStart));
                   !word.isEmpty()) {
            widest = qMax(widest, QFontMetricsF(run.format.font()).horizontalAdvance(word.toString()));
        }
        runStart = end;
    }
    return widest > 0 ? int((widest + 2 * paddingPixels + 1) * RtfTwips::perPixel) : 0;
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
