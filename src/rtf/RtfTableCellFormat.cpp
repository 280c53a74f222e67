#include "rtf/RtfTableCellFormat.h"

#include "rtf/RtfTwips.h"

#include <QFontMetricsF>

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
    using F = QTextTableCellFormat;
    struct Side {
        quint8 bit;
        void (F::*setWidth)(qreal);
        void (F::*setStyle)(QTextFrameFormat::BorderStyle);
        void (F::*setBrush)(const QBrush &);
    };
    // In the order of the definition's colours.
    static constexpr Side sides[] = {
        {RtfCellDef::Top, &F::setTopBorder, &F::setTopBorderStyle, &F::setTopBorderBrush},
        {RtfCellDef::Left, &F::setLeftBorder, &F::setLeftBorderStyle, &F::setLeftBorderBrush},
        {RtfCellDef::Bottom, &F::setBottomBorder, &F::setBottomBorderStyle, &F::setBottomBorderBrush},
        {RtfCellDef::Right, &F::setRightBorder, &F::setRightBorderStyle, &F::setRightBorderBrush},
    };
    for (int index = 0; index < 4; ++index) {
        const Side &side = sides[index];
        const bool shown = (definition.borders & side.bit) != 0;
        (format.*side.setWidth)(shown ? width : 0.0);
        (format.*side.setStyle)(shown ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
        (format.*side.setBrush)(sideBrush(definition, index, shown));
    }
    if (definition.background.isValid()) {
        format.setBackground(definition.background);
    }
    return format;
}

} // namespace RtfTableCellFormat
