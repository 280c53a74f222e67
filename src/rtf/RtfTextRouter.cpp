#include "rtf/RtfTextRouter.h"

#include "rtf/RtfColorTableReader.h"
#include "rtf/RtfFieldReader.h"
#include "rtf/RtfFontTableReader.h"
#include "rtf/RtfFootnoteReader.h"
#include "rtf/RtfListReader.h"
#include "rtf/RtfPictureReader.h"
#include "rtf/RtfShapeReader.h"
#include "rtf/RtfTextReader.h"

namespace {

constexpr bool isPrintableAscii(char c)
{
    return c >= 0x20 && c < 0x7F;
}

constexpr bool isSymbolPage(int page)
{
    return page == RtfTextDecoder::symbolPage || page == RtfTextDecoder::wingdingsPage;
}

} // namespace

void RtfTextRouter::text(QByteArrayView text, const RtfGroupState &group)
{
    const RtfDestination destination = group.destination;
    if (destination == RtfDestination::Skip || destination == RtfDestination::Shape) {
        return;
    }
    if (destination == RtfDestination::Picture) {
        r_.pictures.addHex(text);
        return;
    }
    const int page = this->page(group);
    // Most text is printable ASCII, which every page but the symbol fonts' leaves as it is: it goes to the
    // document a stretch at a time rather than byte by byte, unless it is the trail byte of a double-byte character.
    const bool asciiIsText = destination == RtfDestination::Text && !group.chars.hidden && !isSymbolPage(page);
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const char c = text[i];
        // Line ends in RTF are only there to keep lines short; they are not text and not skippable.
        if (c == '\r' || c == '\n') {
            ++i;
        } else if (r_.decoder.skipsNext()) {
            ++i;
        } else if (asciiIsText && !r_.decoder.expectsTrailByte() && isPrintableAscii(c)) {
            flush(group);
            qsizetype end = i + 1;
            while (end < size && isPrintableAscii(text[end])) {
                ++end;
            }
            r_.text.appendAscii(QLatin1StringView(text.sliced(i, end - i)), group.chars, group.para);
            i = end;
        } else {
            addByte(uchar(c), true, page, group);
            ++i;
        }
    }
}

void RtfTextRouter::addByte(uchar byte, bool raw, int page, const RtfGroupState &group)
{
    switch (group.destination) {
    case RtfDestination::Skip:
    case RtfDestination::ListTable:
    case RtfDestination::ListOverrideTable:
    case RtfDestination::Pn:
    case RtfDestination::Picture:
    case RtfDestination::StyleSheet:
    case RtfDestination::StyleEntry:
    case RtfDestination::Shape:
        return;
    case RtfDestination::LevelText:
        // \'00 to \'08 stand for the numbers of the levels, and the first byte is the text's length.
        if (!raw && byte < 0x20) {
            flush(group);
            r_.lists.appendToLevelText(byte);
            return;
        }
        break;
    case RtfDestination::ColorTable:
        if (raw && byte == ';') {
            r_.colors.endEntry();
        }
        return;
    case RtfDestination::FontTable:
        if (raw && byte == ';') {
            flush(group);
            r_.fonts.commit(r_.decoder.documentPage());
            return;
        }
        break;
    case RtfDestination::FieldInstruction:
    case RtfDestination::ListText:
    case RtfDestination::PnText:
    case RtfDestination::ShapePropertyName:
    case RtfDestination::Text:
    case RtfDestination::Footnote:
        break;
    }
    if (r_.decoder.holdsBytes() && (r_.decoder.runPage() != page || r_.decoder.runIsLong())) {
        flush(group);
    }
    r_.decoder.addByte(byte, page);
}

void RtfTextRouter::flushRun(const RtfGroupState &group)
{
    const QString text = r_.decoder.takeText();
    if (group.destination == RtfDestination::Text) {
        r_.text.appendText(text, group.chars, group.para);
        return;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t character = text[i].unicode();
        if (QChar::isHighSurrogate(character) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            character = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        this->character(character, group);
    }
}

void RtfTextRouter::character(char32_t character, const RtfGroupState &group)
{
    switch (group.destination) {
    case RtfDestination::Text:
        r_.text.appendCharacter(character, group.chars, group.para);
        return;
    case RtfDestination::Footnote:
        r_.notes.appendCharacter(character, group.chars);
        return;
    case RtfDestination::FontTable:
        r_.fonts.appendToName(character);
        return;
    default:
        break;
    }
    // Instructions, labels and property names hold no character beyond the first plane.
    if (character > 0xFFFF) {
        return;
    }
    const auto unit = char16_t(character);
    switch (group.destination) {
    case RtfDestination::FieldInstruction:
        r_.fields.appendToInstruction(unit);
        return;
    case RtfDestination::ListText:
        r_.lists.appendToListText(unit);
        return;
    case RtfDestination::LevelText:
        r_.lists.appendToLevelText(unit);
        return;
    case RtfDestination::PnText:
        r_.lists.appendToPnText(unit);
        return;
    case RtfDestination::ShapePropertyName:
        r_.shapes.appendToPropertyName(unit);
        return;
    default:
        // Tables, pictures, shapes and skipped groups take no text.
        return;
    }
}

int RtfTextRouter::page(const RtfGroupState &group) const
{
    const int documentPage = r_.decoder.documentCodePage();
    if (group.destination == RtfDestination::FontTable) {
        return r_.fonts.textCodePage(documentPage);
    }
    return r_.formats.textCodePage(group.chars.font, documentPage);
}
