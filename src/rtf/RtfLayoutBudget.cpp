#include "rtf/RtfLayoutBudget.h"

#include <QTextCharFormat>

#include <cmath>

namespace {

// The help view is about this wide; a wider view wraps less, so the estimate stays on the safe side.
constexpr qreal textWidthPixels = 640;
// A line is about 1.35 times its font's size in points, in pixels at 96 dots per inch; an average character about
// half of that wide. Text with no size of its own is 12 points.
constexpr qreal lineHeightPerPoint = 1.35;
constexpr qreal charWidthPerPoint = 0.6;
constexpr qreal defaultPoints = 12;

qreal pointsOf(const QTextCharFormat &format)
{
    const qreal points = format.fontPointSize();
    return points > 0 ? points : defaultPoints;
}

} // namespace

bool RtfLayoutBudget::chargeLines(qsizetype count, qreal pixelsEach)
{
    const qreal height = height_ + count * pixelsEach;
    if (count > bounds_.lines - lines_ || height > qreal(bounds_.heightPixels)) {
        return false;
    }
    lines_ += count;
    height_ = height;
    return true;
}

bool RtfLayoutBudget::chargeBreak(const QTextCharFormat &format)
{
    if (!chargeLines(1, pointsOf(format) * lineHeightPerPoint)) {
        return false;
    }
    lineFill_ = 0;
    return true;
}

qsizetype RtfLayoutBudget::chargeText(qsizetype characters, const QTextCharFormat &format)
{
    const qreal points = pointsOf(format);
    const qreal charWidth = points * charWidthPerPoint;
    const qreal lineHeight = points * lineHeightPerPoint;
    // The text may fill the current line and as many more as the bounds leave.
    const qreal linesLeft =
        qMin(qreal(bounds_.lines - lines_), std::floor((qreal(bounds_.heightPixels) - height_) / lineHeight));
    const qreal room = (linesLeft + 1) * textWidthPixels - lineFill_;
    const qsizetype wanted = qMin(characters, bounds_.characters - characters_);
    const qsizetype fitting = room <= charWidth ? 0 : qsizetype(qMin(qreal(wanted), room / charWidth - 1));
    const qreal fill = lineFill_ + fitting * charWidth;
    const auto wrapped = qsizetype(fill / textWidthPixels);
    if (fitting <= 0 || (wrapped > 0 && !chargeLines(wrapped, lineHeight))) {
        return 0;
    }
    lineFill_ = fill - wrapped * textWidthPixels;
    characters_ += fitting;
    return fitting;
}

bool RtfLayoutBudget::chargeCell()
{
    if (cells_ >= bounds_.cells) {
        return false;
    }
    ++cells_;
    return true;
}

bool RtfLayoutBudget::chargeRun()
{
    if (runs_ >= bounds_.runs) {
        return false;
    }
    ++runs_;
    return true;
}

bool RtfLayoutBudget::chargeHeight(qreal pixels)
{
    if (!chargeLines(1, pixels)) {
        return false;
    }
    lineFill_ = 0;
    return true;
}
