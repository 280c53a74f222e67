#pragma once

#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

class RtfFormats;

// Reads \colortbl: the red, green and blue of each entry, handed to RtfFormats at the entry's semicolon.
class RtfColorTableReader final {
public:
    explicit RtfColorTableReader(RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfColorTableReader)

    void begin();
    void word(RtfKeyword keyword, const RtfToken &token);
    void endEntry();

private:
    RtfFormats &formats_;
    int rgb_[3] = {-1, -1, -1};
};
