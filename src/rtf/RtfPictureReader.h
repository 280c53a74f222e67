#pragma once

#include "rtf/RtfKeywords.h"
#include "rtf/RtfPicture.h"
#include "rtf/RtfTokenizer.h"

// Reads \pict groups: their kind, sizes and data into an RtfPicture, and at the group's end decodes the picture
// within what the pixels of all pictures together may take.
class RtfPictureReader final {
public:
    explicit RtfPictureReader(qint64 maxPixels) : pixelsLeft_(qMax<qint64>(0, maxPixels)) {}
    Q_DISABLE_COPY_MOVE(RtfPictureReader)

    struct Shown {
        QImage image; // null: nothing to show
        QSizeF size;  // in pixels
    };

    void begin();
    void word(RtfKeyword keyword, const RtfToken &token);
    void addHex(QByteArrayView text);
    void addBinary(QByteArrayView data);
    // Ends the picture; wanted says whether the document has a place for it. A picture that cannot be shown, or
    // that would pass the pixels left, gives a null image.
    Shown end(bool wanted);

private:
    RtfPicture picture_;
    qint64 pixelsLeft_ = 0;
};
