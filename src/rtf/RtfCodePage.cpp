#include "rtf/RtfCodePage.h"

#include "base/Windows1252.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>

namespace {

// Word processors write list bullets as glyph numbers of the Symbol and Wingdings fonts; these are the
// glyphs they use for bullets, given as the Unicode characters that look like them. Other glyph numbers
// fall back to Windows-1252, which keeps plain letters readable.
char16_t symbolGlyph(uchar byte)
{
    switch (byte) {
    case 0xA7:
        return u'\u2663'; // club
    case 0xA8:
        return u'\u2666'; // diamond
    case 0xA9:
        return u'\u2665'; // heart
    case 0xAA:
        return u'\u2660'; // spade
    case 0xB7:
        return u'\u2022'; // bullet
    case 0xD7:
        return u'\u22C5'; // dot operator
    default:
        return Windows1252::toUnicode(byte);
    }
}

char16_t wingdingsGlyph(uchar byte)
{
    switch (byte) {
    case 0x6C:
        return u'\u25CF'; // black circle
    case 0x6E:
        return u'\u25A0'; // black square
    case 0x71:
        return u'\u2751'; // shadowed white square
    case 0x75:
        return u'\u25C6'; // black diamond
    case 0x76:
        return u'\u2756'; // diamond with an X
    case 0x9F:
        return u'\u2022'; // bullet
    case 0xA7:
        return u'\u25AA'; // small black square
    case 0xA8:
        return u'\u25FB'; // white medium square
    case 0xD8:
        return u'\u27A2'; // arrowhead
    case 0xFC:
        return u'\u2713'; // check mark
    default:
        return Windows1252::toUnicode(byte);
    }
}

// ICU's names of the Windows code pages, which ICU holds under the names of IBM's identical tables.
const char *icuConverterName(int codePage)
{
    switch (codePage) {
    case 437:
        return "ibm-437_P100-1995";
    case 850:
        return "ibm-850_P100-1995";
    case 874:
        return "windows-874-2000";
    case 932:
        return "ibm-943_P15A-2003";
    case 936:
        return "windows-936-2000";
    case 949:
        return "windows-949-2000";
    case 950:
        return "windows-950-2000";
    case 1250:
        return "ibm-5346_P100-1998";
    case 1251:
        return "ibm-5347_P100-1998";
    case 1253:
        return "ibm-5349_P100-1998";
    case 1254:
        return "ibm-5350_P100-1998";
    case 1255:
        return "ibm-9447_P100-2002";
    case 1256:
        return "ibm-9448_X100-2005";
    case 1257:
        return "ibm-9449_P100-2002";
    case 1258:
        return "ibm-5354_P100-1998";
    case 10000:
        return "macos-0_2-10.2";
    default:
        return nullptr;
    }
}

// Writes one U+FFFD for each sequence that the page has no character for or that is broken. ICU passes only
// the bytes of the broken sequence, so a byte that cannot continue it is converted again on its own.
void writeReplacement(const void *, UConverterToUnicodeArgs *args, const char *, int32_t,
                      UConverterCallbackReason reason, UErrorCode *error)
{
    if (reason > UCNV_IRREGULAR) {
        return; // reset, close, clone: nothing to write
    }
    *error = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
}

struct ConverterClose {
    void operator()(UConverter *converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

Converter openConverter(int codePage)
{
    const char *name = icuConverterName(codePage);
    if (name == nullptr) {
        return {};
    }
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &error));
    if (converter) {
        ucnv_setToUCallBack(converter.get(), writeReplacement, nullptr, nullptr, nullptr, &error);
    }
    return U_SUCCESS(error) ? std::move(converter) : Converter();
}

// A page without a table keeps its 7-bit range; a pair of a double-byte page is one missing character.
QString decodeWithoutTable(int codePage, QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = uchar(bytes[i]);
        if (byte < 0x80) {
            text += QChar(char16_t(byte));
            continue;
        }
        if (rtfIsLeadByte(codePage, byte) && i + 1 < bytes.size() && uchar(bytes[i + 1]) >= 0x40) {
            ++i;
        }
        text += QChar(0xFFFD);
    }
    return text;
}

} // namespace

RtfCodePage rtfCodePageFromNumber(int codePage)
{
    switch (codePage) {
    case 1252:
        return RtfCodePage::Windows1252;
    case 28591:
        return RtfCodePage::Latin1;
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
        return RtfCodePage::OtherDoubleByte;
    default:
        return RtfCodePage::OtherSingleByte;
    }
}

RtfCodePage rtfCodePageFromCharset(int charset, QStringView fontName, RtfCodePage documentPage)
{
    switch (charset) {
    case 0:
        return RtfCodePage::Windows1252;
    case 2:
        return fontName.contains(u"Wingdings", Qt::CaseInsensitive) ? RtfCodePage::Wingdings : RtfCodePage::Symbol;
    case 128: // Shift JIS
    case 129: // Hangul
    case 130: // Johab
    case 134: // GB 2312
    case 136: // Big5
        return RtfCodePage::OtherDoubleByte;
    case 77:  // Mac Roman
    case 161: // Greek
    case 162: // Turkish
    case 163: // Vietnamese
    case 177: // Hebrew
    case 178: // Arabic
    case 186: // Baltic
    case 204: // Cyrillic
    case 222: // Thai
    case 238: // Central European
    case 255: // OEM
        return RtfCodePage::OtherSingleByte;
    default:
        return documentPage;
    }
}

char16_t rtfDecodeByte(RtfCodePage page, uchar byte)
{
    switch (page) {
    case RtfCodePage::Windows1252:
        return Windows1252::toUnicode(byte);
    case RtfCodePage::Latin1:
        return byte;
    case RtfCodePage::Symbol:
        return symbolGlyph(byte);
    case RtfCodePage::Wingdings:
        return wingdingsGlyph(byte);
    case RtfCodePage::OtherSingleByte:
    case RtfCodePage::OtherDoubleByte:
        break;
    }
    return byte < 0x80 ? char16_t(byte) : u'\uFFFD';
}

int rtfWindowsCodePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool rtfCanDecode(int codePage)
{
    return codePage == 1252 || codePage == 28591 || icuConverterName(codePage) != nullptr;
}

bool rtfIsLeadByte(int codePage, uchar byte)
{
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    case 1361:
        return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xDE) || (byte >= 0xE0 && byte <= 0xF9);
    default:
        return false;
    }
}

QString rtfDecodeBytes(int codePage, QByteArrayView bytes)
{
    RtfBytesDecoder decoder;
    return decoder.decode(codePage, bytes);
}

RtfBytesDecoder::~RtfBytesDecoder()
{
    for (UConverter *converter : std::as_const(converters_)) {
        ucnv_close(converter);
    }
}

UConverter *RtfBytesDecoder::converter(int codePage)
{
    if (const auto known = converters_.constFind(codePage); known != converters_.cend()) {
        return *known;
    }
    // Only pages with a table get here, so the cache holds a few converters at most.
    UConverter *opened = openConverter(codePage).release();
    converters_.insert(codePage, opened);
    return opened;
}

QString RtfBytesDecoder::decode(int codePage, QByteArrayView bytes)
{
    if (codePage == 1252 || codePage == 28591) {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = uchar(bytes[i]);
            text[i] = codePage == 1252 ? Windows1252::toUnicode(byte) : char16_t(byte);
        }
        return text;
    }
    UConverter *const converter = icuConverterName(codePage) == nullptr ? nullptr : this->converter(codePage);
    if (converter == nullptr) {
        return decodeWithoutTable(codePage, bytes);
    }
    ucnv_resetToUnicode(converter);
    // A byte gives at most two code units (a character beyond the BMP), and so does a pair.
    QString text(2 * bytes.size(), Qt::Uninitialized);
    auto *const start = reinterpret_cast<UChar *>(text.data());
    UChar *target = start;
    const char *source = bytes.data();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, start + text.size(), &source, source + bytes.size(), nullptr, true, &error);
    if (U_FAILURE(error)) {
        return decodeWithoutTable(codePage, bytes);
    }
    text.truncate(target - start);
    return text;
}
