#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <optional>

// Turns the bytes of text (raw and \'hh) and the \u escapes into characters: the document's code page (\ansi,
// \ansicpg, ...), the second byte of a double-byte character, and the fallback characters that \uc says follow
// a \u and are to be skipped.
class RtfTextDecoder final {
public:
    static constexpr char16_t replacementCharacter = u'\uFFFD';

    RtfTextDecoder() = default;
    Q_DISABLE_COPY_MOVE(RtfTextDecoder)

    RtfCodePage documentPage() const { return documentPage_; }
    // \ansi, \mac, \pc, \pca and \ansicpg; false for any other word.
    bool pageWord(RtfKeyword keyword, const RtfToken &token);

    // Counts one element of text (a character, a word, a symbol) against the fallback of the last \u: true
    // when it is to be skipped.
    bool skipsNext()
    {
        if (skipCount_ > 0) {
            --skipCount_;
            return true;
        }
        return false;
    }
    bool skipping() const { return skipCount_ > 0; }
    // A group's start or end ends the fallback and any double-byte character.
    void resetAtGroup();
    // A control word or symbol between the two bytes of a character ends it.
    void endCharacter() { expectTrailByte_ = false; }
    bool expectsTrailByte() const { return expectTrailByte_; }

    // The character a byte stands for; none for the second byte of a double-byte character.
    std::optional<char32_t> decodeByte(uchar byte, RtfCodePage page)
    {
        if (expectTrailByte_) {
            expectTrailByte_ = false;
            return std::nullopt;
        }
        if (rtfIsLeadByte(page, byte)) {
            expectTrailByte_ = true;
            return replacementCharacter;
        }
        return rtfDecodeByte(page, byte);
    }
    // The character of \uN, whose fallback of `skip` characters is skipped from now on.
    char32_t decodeUnicode(int parameter, int skip);

private:
    RtfCodePage documentPage_ = RtfCodePage::Windows1252;
    int skipCount_ = 0; // characters still to skip after \u
    bool expectTrailByte_ = false;
};
