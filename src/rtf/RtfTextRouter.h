#pragma once

#include "rtf/RtfGroupState.h"

#include <QByteArrayView>

class RtfColorTableReader;
class RtfFieldReader;
class RtfFontTableReader;
class RtfListReader;
class RtfPictureReader;
class RtfShapeReader;
class RtfTextDecoder;
class RtfTextReader;

// Hands the text of a group to the reader of its destination: raw bytes and \'hh escapes decoded in the group's
// code page, and single characters, to the body, a font's name, a field's instruction, a list label, or nowhere;
// a picture's hex digits to the picture; the semicolons that end the entries of the font and colour tables.
class RtfTextRouter final {
public:
    struct Readers {
        RtfTextDecoder &decoder;
        RtfTextReader &text;
        const RtfFormats &formats;
        RtfFontTableReader &fonts;
        RtfColorTableReader &colors;
        RtfListReader &lists;
        RtfFieldReader &fields;
        RtfPictureReader &pictures;
        RtfShapeReader &shapes;
    };

    explicit RtfTextRouter(Readers readers) : r_(readers) {}
    Q_DISABLE_COPY_MOVE(RtfTextRouter)

    void text(QByteArrayView text, const RtfGroupState &group);
    // A byte of text, raw or from a \'hh escape.
    void byte(uchar byte, bool raw, const RtfGroupState &group);
    void character(char32_t character, const RtfGroupState &group);

private:
    // The code page that the group's text is written in.
    RtfCodePage page(const RtfGroupState &group) const;
    void decodeByte(uchar byte, bool raw, RtfCodePage page, const RtfGroupState &group);

    Readers r_;
};
