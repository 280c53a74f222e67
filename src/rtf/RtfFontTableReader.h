#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QString>

class RtfFormats;

// Reads \fonttbl: each font's number, character set, code page and name, handed to RtfFormats once the font ends (at
// its semicolon, its group's end or the next \f).
class RtfFontTableReader final {
public:
    explicit RtfFontTableReader(RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfFontTableReader)

    void begin() { number_ = -1; }
    void word(RtfKeyword keyword, const RtfToken &token, RtfCodePage documentPage);
    void appendToName(char32_t character);
    void commit(RtfCodePage documentPage);
    // The code page of the font being read, which its name is written in (RtfTextDecoder's page numbers).
    int textCodePage(int documentPage) const;

private:
    // The page that the font's \fcharset, or else its \cpg, names; 0 for the document's.
    int ownCodePage(QStringView name) const;

    RtfFormats &formats_;
    int number_ = -1;
    int charset_ = -1;
    int codePage_ = 0; // \cpg
    QString name_;
};
