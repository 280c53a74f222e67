#pragma once

#include "rtf/RtfCodePage.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <array>

// Turns the bytes of text (raw and \'hh) and the \u escapes into characters: the document's code page (\ansi,
// \ansicpg, ...) or a font's, and the fallback characters that \uc says follow a \u and are to be skipped.
// Bytes are gathered into a run and decoded at once when the run ends (at a control word, a group's start or end,
// or text in another code page), so that the two bytes of a double-byte character pair up wherever they were
// written, and a page's converter is not called byte by byte.
class RtfTextDecoder final {
public:
    static constexpr char16_t replacementCharacter = u'\uFFFD';
    // The glyph numbers of the symbol fonts, which stand beside the Windows code pages' numbers.
    static constexpr int symbolPage = -1;
    static constexpr int wingdingsPage = -2;

    RtfTextDecoder() = default;
    Q_DISABLE_COPY_MOVE(RtfTextDecoder)

    // The document's Windows code page.
    int documentCodePage() const { return documentCodePage_; }
    // The same, as the lists read it.
    RtfCodePage documentPage() const { return rtfCodePageFromNumber(documentCodePage_); }
    // \ansi, \mac, \pc, \pca and \ansicpg; false for any other word.
    bool pageWord(RtfKeywordInfo info, const RtfToken &token);

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
    // A group's start or end ends the fallback.
    void resetAtGroup() { skipCount_ = 0; }

    // Adds a byte of text in the given page to the run; the caller takes the run first where the page changes.
    void addByte(uchar byte, int page)
    {
        if (run_.isEmpty()) {
            runPage_ = page;
        }
        run_.append(char(byte));
        // Pairs go by position: a trail byte may itself look like a lead byte.
        expectTrailByte_ = !expectTrailByte_ && rtfIsLeadByte(page, byte);
    }
    bool holdsBytes() const { return !run_.isEmpty(); }
    int runPage() const { return runPage_; }
    // Whether the run ends inside a double-byte character, whose trail byte is still to come.
    bool expectsTrailByte() const { return expectTrailByte_; }
    // Whether the run has grown long enough to be decoded before it ends, which keeps it small.
    bool runIsLong() const { return run_.size() >= maxRunBytes && !expectTrailByte_; }
    // The text of the run, which is then empty; a lead byte without its trail byte gives U+FFFD.
    QString takeText();

    // The character of \uN, whose fallback of `skip` characters is skipped from now on.
    char32_t decodeUnicode(int parameter, int skip);

private:
    static constexpr qsizetype maxRunBytes = 64 * 1024;
    static constexpr qsizetype maxCachedPages = 32;

    // The character of a run of one byte, which text broken up by control words has at every turn: looked up in a
    // table per page, filled as bytes are met, rather than in the page's converter.
    char16_t decodeSingleByte(int page, uchar byte);

    int documentCodePage_ = 1252;
    int skipCount_ = 0; // characters still to skip after \u
    QByteArray run_;
    int runPage_ = 1252;
    bool expectTrailByte_ = false;
    RtfBytesDecoder bytes_;
    QHash<int, std::array<char16_t, 256>> singleBytes_; // 0: not looked up yet
};
