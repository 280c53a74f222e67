#include "rtf/RtfColorTableReader.h"

#include "rtf/RtfFormats.h"

void RtfColorTableReader::begin()
{
    rgb_[0] = rgb_[1] = rgb_[2] = -1;
}

void RtfColorTableReader::word(RtfKeyword keyword, const RtfToken &token)
{
    const int value = qBound(0, token.parameter, 255);
    switch (keyword) {
    case RtfKeyword::Red:
        rgb_[0] = value;
        break;
    case RtfKeyword::Green:
        rgb_[1] = value;
        break;
    case RtfKeyword::Blue:
        rgb_[2] = value;
        break;
    default:
        break;
    }
}

void RtfColorTableReader::endEntry()
{
    // An entry with no components is "auto": the reader's default colour.
    const bool automatic = rgb_[0] < 0 && rgb_[1] < 0 && rgb_[2] < 0;
    formats_.addColor(automatic ? QColor() : QColor(qMax(0, rgb_[0]), qMax(0, rgb_[1]), qMax(0, rgb_[2])));
    begin();
}
