#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QString>

class RtfFormats;

// Reads \fonttbl: each font's number, character set and name, handed to RtfFormats once the font ends (at its
// semicolon, its group's end or the next \f).
class RtfFontTableReader final {
public:
    explicit RtfFontTableReader(RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfFontTableReader)

    void begin() { number_ = -1; }
    void word(RtfKeyword keyword, const RtfToken &token, RtfCodePage documentPage);
    void appendToName(char32_t character);
    void commit(RtfCodePage documentPage);
    // The code page of the font being read, which its name is written in.
    RtfCodePage page(RtfCodePage documentPage) const;

private:
    RtfFormats &formats_;
    int number_ = -1;
    int charset_ = -1;
    QString name_;
};
