#pragma once

#include "base/TwipsPerPixel.h"

#include <QRect>
#include <QtMath>

// Window designs are measured in twips, 1/1440 inch: 15 to a logical pixel. Qt scales logical pixels on
// screens of higher density.
namespace Twips {

inline constexpr int PerPixel = TwipsPerPixel;

constexpr int toPixels(int twips)
{
    return twips >= 0 ? (twips + PerPixel / 2) / PerPixel : -((-twips + PerPixel / 2) / PerPixel);
}

constexpr int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

// A rectangle given in twips.
constexpr QRect rect(QRect twips)
{
    return rect(twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace Twips
