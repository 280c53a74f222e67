#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
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

// Windows code pages by number, as \ansicpgN and \cpgN name them and as a font's \fcharsetN implies. Foreign
// text is decoded with ICU's tables of the Windows code pages; Windows-1252 with the program's own table.

// The Windows code page that a font's \fcharsetN stands for; 0 where the charset names none (the default
// charset, the symbol charset), so that the document's code page or the symbol font's glyphs apply.
int rtfWindowsCodePageOfCharset(int charset);

// True when the reader has a table for codePage: 1250 to 1258, 874, 932, 936, 949, 950, 437, 850, 10000 and
// Latin-1 (28591).
bool rtfCanDecode(int codePage);

// True when byte starts a two-byte character in the double-byte code pages 932, 936, 949, 950 and 1361.
bool rtfIsLeadByte(int codePage, uchar byte);

// The text that bytes of the Windows code page codePage stand for. A byte or pair that the page has no
// character for, a lead byte whose trail byte is missing or is no trail byte, and every byte above 0x7F of a
// page without a table give U+FFFD; a byte that ends a broken pair early is read again on its own, so nothing
// after it is lost. The time taken grows with the number of bytes alone.
QString rtfDecodeBytes(int codePage, QByteArrayView bytes);

struct UConverter;

// Decodes runs of bytes as rtfDecodeBytes does, keeping the converter of each code page it has met open: a text of
// many short runs (a run ends at every control word) opens each page's converter once, not once a run.
class RtfBytesDecoder final {
public:
    RtfBytesDecoder() = default;
    ~RtfBytesDecoder();
    Q_DISABLE_COPY_MOVE(RtfBytesDecoder)

    QString decode(int codePage, QByteArrayView bytes);

private:
    UConverter *converter(int codePage);

    QHash<int, UConverter *> converters_; // null where a page's converter could not be opened
};
