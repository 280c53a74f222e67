#pragma once

#include "rtf/RtfGroupState.h"
#include "rtf/RtfTextDecoder.h"

#include <QByteArrayView>

class RtfColorTableReader;
class RtfFieldReader;
class RtfFontTableReader;
class RtfFootnoteReader;
class RtfListReader;
class RtfPictureReader;
class RtfShapeReader;
class RtfTextReader;

// Hands the text of a group to the reader of its destination: raw bytes and \'hh escapes decoded in the group's
// code page, and single characters, to the body, a footnote, a font's name, a field's instruction, a list label, or
// nowhere; a picture's hex digits to the picture; the semicolons that end the entries of the font and colour tables.
// Bytes wait in the decoder's run until flush() or a change of page; the core flushes before anything else happens
// (a control word, a group's start or end), so that text keeps its order and the formatting it was written in.
class RtfTextRouter final {
public:
    struct Readers {
        RtfTextDecoder &decoder;
        RtfTextReader &text;
        RtfFootnoteReader &notes;
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
    void byte(uchar byte, bool raw, const RtfGroupState &group) { addByte(byte, raw, page(group), group); }
    void character(char32_t character, const RtfGroupState &group);
    // Decodes the bytes waiting in the decoder and hands their text on in the group's formatting.
    void flush(const RtfGroupState &group)
    {
        if (r_.decoder.holdsBytes()) {
            flushRun(group);
        }
    }

private:
    // The code page that the group's text is written in (RtfTextDecoder's page numbers).
    int page(const RtfGroupState &group) const;
    void addByte(uchar byte, bool raw, int page, const RtfGroupState &group);
    void flushRun(const RtfGroupState &group);

    Readers r_;
};
