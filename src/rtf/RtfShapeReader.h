#pragma once

#include "rtf/RtfGroupState.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfPictureReader.h"
#include "rtf/RtfTokenizer.h"

#include <QString>

// Reads a shape (\shp) as a picture in the text where it is anchored: the box it takes on the page (\shpleft,
// \shptop, \shpright, \shpbottom, in twips) and the names of its properties (\sp, \sn), so that of all the pictures
// in it only its "pib", the picture it shows, is read. That picture waits for the end of the shape and is then shown
// at the shape's size. The shape's fallback (\shprslt) is read as text only when the shape shows no picture of its
// own, and once it has been, the shape takes none: the picture appears once.
class RtfShapeReader final {
public:
    RtfShapeReader() = default;
    Q_DISABLE_COPY_MOVE(RtfShapeReader)

    void begin();
    // A word of the shape; returns the destination that it begins, or Shape where the shape's own words go on.
    RtfDestination word(RtfKeyword keyword, const RtfToken &token);
    void appendToPropertyName(char16_t unit);
    // The shape's picture, read in the shape: null when it cannot be shown.
    void setPicture(RtfPictureReader::Shown picture);
    // At \shprslt: whether the fallback is read, which it is when the shape shows no picture.
    bool readsResult();
    // The shape's picture at the size it is shown, or a null image; the shape is done.
    RtfPictureReader::Shown end();

private:
    bool takesPicture() const;

    QString propertyName_;
    int left_ = 0;
    int top_ = 0;
    int right_ = 0;
    int bottom_ = 0;
    RtfPictureReader::Shown picture_;
    bool resultRead_ = false;
};
