#include "rtf/RtfShapeReader.h"

#include "rtf/RtfTwips.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype maxPropertyName = 32; // longer than any property's name

} // namespace

void RtfShapeReader::begin()
{
    propertyName_.clear();
    left_ = top_ = right_ = bottom_ = 0;
    picture_ = {};
    resultRead_ = false;
}

RtfDestination RtfShapeReader::word(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::ShapeProperty:
        propertyName_.clear();
        break;
    case RtfKeyword::ShapePropertyName:
        propertyName_.clear();
        return RtfDestination::ShapePropertyName;
    case RtfKeyword::Picture:
        return takesPicture() ? RtfDestination::Picture : RtfDestination::Skip;
    case RtfKeyword::ShapeLeft:
        left_ = RtfTwips::of(token);
        break;
    case RtfKeyword::ShapeTop:
        top_ = RtfTwips::of(token);
        break;
    case RtfKeyword::ShapeRight:
        right_ = RtfTwips::of(token);
        break;
    case RtfKeyword::ShapeBottom:
        bottom_ = RtfTwips::of(token);
        break;
    default:
        break;
    }
    return RtfDestination::Shape;
}

void RtfShapeReader::appendToPropertyName(char16_t unit)
{
    if (propertyName_.size() < maxPropertyName) {
        propertyName_.append(QChar(unit));
    }
}

bool RtfShapeReader::takesPicture() const
{
    return picture_.image.isNull() && !resultRead_ && propertyName_.trimmed() == u"pib"_s;
}

void RtfShapeReader::setPicture(RtfPictureReader::Shown picture)
{
    if (takesPicture()) {
        picture_ = std::move(picture);
    }
}

bool RtfShapeReader::readsResult()
{
    resultRead_ = resultRead_ || picture_.image.isNull();
    return resultRead_;
}

RtfPictureReader::Shown RtfShapeReader::end()
{
    RtfPictureReader::Shown shown = std::exchange(picture_, {});
    // The picture fills the shape's box, whatever size it has itself; a box without a size leaves it its own.
    if (right_ > left_ && bottom_ > top_) {
        shown.size =
            RtfPicture::boundedSize((right_ - left_) / RtfTwips::perPixel, (bottom_ - top_) / RtfTwips::perPixel);
    }
    begin();
    return shown;
}
