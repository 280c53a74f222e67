#include "rtf/RtfPictureReader.h"

#include "rtf/RtfTwips.h"

namespace {

constexpr int maxScale = 1000;

} // namespace

void RtfPictureReader::word(RtfKeyword keyword, const RtfToken &token)
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
    case RtfKeyword::PictureIsMetafile:
        // \wmetafile8: the number is the metafile's mapping mode, which does not change the bitmap it wraps.
        picture_.setKind(RtfPicture::Kind::Metafile);
        break;
    case RtfKeyword::PictureIsBitmap:
        picture_.setKind(RtfPicture::Kind::Bitmap);
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

RtfPictureReader::Shown RtfPictureReader::end(bool wanted)
{
    const RtfPicture picture = std::exchange(picture_, RtfPicture{});
    if (!wanted) {
        return {};
    }
    QImage image = picture.decode(pixelsLeft_);
    if (image.isNull()) {
        return {};
    }
    pixelsLeft_ -= qint64(image.width()) * image.height();
    const QSizeF size = picture.displaySize(image.size());
    return {std::move(image), size};
}

void RtfPictureReader::begin()
{
    picture_ = RtfPicture{};
}

void RtfPictureReader::addHex(QByteArrayView text)
{
    picture_.addHex(text);
}

void RtfPictureReader::addBinary(QByteArrayView data)
{
    picture_.addBinary(data);
}
