#pragma once

#include <QStringView>
#include <QtGlobal>

// How the reader turns the 8-bit bytes of an RTF file (raw text and \'hh escapes) into UTF-16.
// Windows-1252 is decoded with our own table; the symbol fonts used for list bullets get the few
// characters that matter for bullets. Code pages we carry no table for keep their 7-bit range and
// show U+FFFD for the rest, so foreign text is visibly missing rather than silently wrong.
enum class RtfCodePage : quint8 {
    Windows1252,
    Latin1,
    Symbol,
    Wingdings,
    OtherSingleByte,
    OtherDoubleByte, // a lead byte and the byte after it make one character
};

// The code page named by \ansicpgN.
RtfCodePage rtfCodePageFromNumber(int codePage);

// The code page of a font from its \fcharsetN; documentPage is used where the charset defers to the document.
RtfCodePage rtfCodePageFromCharset(int charset, QStringView fontName, RtfCodePage documentPage);

// True for pages whose text is glyph numbers of a picture font rather than letters.
constexpr bool rtfIsSymbolPage(RtfCodePage page)
{
    return page == RtfCodePage::Symbol || page == RtfCodePage::Wingdings;
}

// True when byte starts a two-byte character in page.
constexpr bool rtfIsLeadByte(RtfCodePage page, uchar byte)
{
    return page == RtfCodePage::OtherDoubleByte && byte >= 0x81 && byte <= 0xFE;
}

// The UTF-16 code unit for one byte; U+FFFD where the page has no table for it.
char16_t rtfDecodeByte(RtfCodePage page, uchar byte);
