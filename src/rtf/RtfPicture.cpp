#include "rtf/RtfPicture.h"
#include "rtf/RtfTwips.h"

#include "rtf/RtfTokenizer.h"

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr qreal maxShownPixels = 4000; // a side larger than any screen only makes the view scroll further

} // namespace

void RtfPicture::addHex(QByteArrayView text)
{
    if (kind_ == Kind::Other) {
        return;
    }
    for (const char c : text) {
        const int value = RtfTokenizer::hexValue(c);
        if (value < 0) {
            continue;
        }
        if (highNibble_ < 0) {
            highNibble_ = value;
        } else {
            data_.append(char(highNibble_ * 16 + value));
            highNibble_ = -1;
        }
    }
}

void RtfPicture::addBinary(QByteArrayView data)
{
    if (kind_ != Kind::Other) {
        data_.append(data);
    }
}

QImage RtfPicture::decode(qint64 maxPixels) const
{
    if (kind_ == Kind::Other || data_.isEmpty()) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(data_);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, kind_ == Kind::Png ? "png" : "jpeg");
    reader.setDecideFormatFromContent(false);
    // The size in the picture's header is what decoding would allocate; a small file can claim a huge one.
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > maxPixels) {
        return {};
    }
    QImage image;
    if (!reader.read(&image) || image.size() != size) {
        return {};
    }
    return image;
}

QSizeF RtfPicture::displaySize(QSize imageSize) const
{
    const qreal width =
        (widthGoal_ > 0 ? widthGoal_ / RtfTwips::perPixel : imageSize.width()) * qMax(1, scaleX_) / 100.0;
    const qreal height =
        (heightGoal_ > 0 ? heightGoal_ / RtfTwips::perPixel : imageSize.height()) * qMax(1, scaleY_) / 100.0;
    return {qBound<qreal>(1, width, maxShownPixels), qBound<qreal>(1, height, maxShownPixels)};
}
