#include "rtf/RtfPicture.h"

#include "rtf/RtfMetafileBitmap.h"
#include "rtf/RtfTokenizer.h"
#include "rtf/RtfTwips.h"

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr qreal maxShownPixels = 4000; // a side larger than any screen only makes the view scroll further

// Decoding a JPEG costs a pass over the whole picture per scan, and a small file can hold thousands of scans of a
// large picture. Encoders write one scan per component, or about ten for a progressive picture; a few dozen is
// the most any of them needs.
constexpr int maxJpegScans = 64;

// The number of scans in a JPEG stream, counted up to one past `limit`: the segments between scans are skipped by
// their lengths, and a scan's data ends at the first marker other than a stuffed byte or a restart.
int jpegScans(QByteArrayView data, int limit)
{
    int scans = 0;
    qsizetype i = 2; // after the start-of-image marker
    while (i + 1 < data.size() && scans <= limit) {
        const uchar marker = uchar(data[i + 1]);
        if (uchar(data[i]) != 0xFF || marker == 0xFF) {
            ++i; // a scan's data, or fill bytes before a marker
        } else if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
        } else if (marker == 0xD9 || i + 3 >= data.size()) {
            break;
        } else {
            scans += marker == 0xDA ? 1 : 0;
            i += 2 + ((uchar(data[i + 2]) << 8) | uchar(data[i + 3]));
        }
    }
    return scans;
}

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
    switch (kind_) {
    case Kind::Other:
        return {};
    case Kind::Metafile:
        return RtfMetafileBitmap::decode(RtfMetafileBitmap::find(data_), maxPixels);
    case Kind::Bitmap:
        return RtfMetafileBitmap::decode(data_, maxPixels);
    case Kind::Png:
    case Kind::Jpeg:
        break;
    }
    return decodeCompressed(maxPixels);
}

QImage RtfPicture::decodeCompressed(qint64 maxPixels) const
{
    if (data_.isEmpty() || (kind_ == Kind::Jpeg && jpegScans(data_, maxJpegScans) > maxJpegScans)) {
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
    return boundedSize(width, height);
}

QSizeF RtfPicture::boundedSize(qreal width, qreal height)
{
    return {qBound<qreal>(1, width, maxShownPixels), qBound<qreal>(1, height, maxShownPixels)};
}
