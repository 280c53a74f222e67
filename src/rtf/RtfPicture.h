#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSizeF>

// One \pict group as it is read: its kind, its sizes and its data, from hex digits or \bin bytes. Only PNG and
// JPEG pictures, Windows metafiles (for the bitmap they wrap) and device-independent bitmaps are kept; their data
// is gathered only once the picture says which it is, which every writer does before the data.
class RtfPicture final {
public:
    enum class Kind : quint8 { Other, Png, Jpeg, Metafile, Bitmap };

    RtfPicture() = default;

    void setKind(Kind kind) { kind_ = kind; }
    void setWidthGoal(int twips) { widthGoal_ = twips; }
    void setHeightGoal(int twips) { heightGoal_ = twips; }
    void setScaleX(int percent) { scaleX_ = percent; }
    void setScaleY(int percent) { scaleY_ = percent; }

    void addHex(QByteArrayView text);
    void addBinary(QByteArrayView data);

    // The picture if it is one we show and has at most maxPixels pixels, a null image otherwise; a
    // broken picture, a metafile without a bitmap, or a JPEG of more scans than any encoder writes, gives a null image.
    QImage decode(qint64 maxPixels) const;
    // The size to show an image of this picture at, in pixels, from the goal sizes and scales.
    QSizeF displaySize(QSize imageSize) const;
    // A size in pixels within what is worth showing.
    static QSizeF boundedSize(qreal width, qreal height);

private:
    QImage decodeCompressed(qint64 maxPixels) const;

    Kind kind_ = Kind::Other;
    int widthGoal_ = 0;
    int heightGoal_ = 0;
    int scaleX_ = 100;
    int scaleY_ = 100;
    QByteArray data_;
    int highNibble_ = -1;
};
