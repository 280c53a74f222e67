#include "rtf/RtfTextRouter.h"

#include "rtf/RtfColorTableReader.h"
#include "rtf/RtfFieldReader.h"
#include "rtf/RtfFontTableReader.h"
#include "rtf/RtfListReader.h"
#include "rtf/RtfPictureReader.h"
#include "rtf/RtfShapeReader.h"
#include "rtf/RtfTextDecoder.h"
#include "rtf/RtfTextReader.h"

namespace {

constexpr bool isPrintableAscii(char c)
{
    return c >= 0x20 && c < 0x7F;
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
    const RtfCodePage page = this->page(group);
    // Most text is printable ASCII, which every page but the symbol fonts' leaves as it is: it goes to the
    // document a stretch at a time rather than byte by byte.
    const bool asciiIsText = destination == RtfDestination::Text && !group.chars.hidden && !rtfIsSymbolPage(page);
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
            qsizetype end = i + 1;
            while (end < size && isPrintableAscii(text[end])) {
                ++end;
            }
            r_.text.appendAscii(QLatin1StringView(text.sliced(i, end - i)), group.chars, group.para);
            i = end;
        } else {
            decodeByte(uchar(c), true, page, group);
            ++i;
        }
    }
}

void RtfTextRouter::byte(uchar byte, bool raw, const RtfGroupState &group)
{
    decodeByte(byte, raw, page(group), group);
}

void RtfTextRouter::decodeByte(uchar byte, bool raw, RtfCodePage page, const RtfGroupState &group)
{
    switch (group.destination) {
    case RtfDestination::Skip:
    case RtfDestination::ListTable:
    case RtfDestination::ListOverrideTable:
    case RtfDestination::Pn:
    case RtfDestination::Picture:
    case RtfDestination::Shape:
        return;
    case RtfDestination::LevelText:
        // \'00 to \'08 stand for the numbers of the levels, and the first byte is the text's length.
        if (!raw && byte < 0x20) {
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
            r_.fonts.commit(r_.decoder.documentPage());
            return;
        }
        break;
    case RtfDestination::FieldInstruction:
    case RtfDestination::ListText:
    case RtfDestination::PnText:
    case RtfDestination::ShapePropertyName:
    case RtfDestination::Text:
        break;
    }
    if (const std::optional<char32_t> character = r_.decoder.decodeByte(byte, page)) {
        this->character(*character, group);
    }
}

void RtfTextRouter::character(char32_t character, const RtfGroupState &group)
{
    const bool isUnit = character <= 0xFFFF;
    switch (group.destination) {
    case RtfDestination::Text:
        r_.text.appendCharacter(character, group.chars, group.para);
        return;
    case RtfDestination::FontTable:
        r_.fonts.appendToName(character);
        return;
    case RtfDestination::FieldInstruction:
        if (isUnit) {
            r_.fields.appendToInstruction(char16_t(character));
        }
        return;
    case RtfDestination::ListText:
        if (isUnit) {
            r_.lists.appendToListText(char16_t(character));
        }
        return;
    case RtfDestination::LevelText:
        if (isUnit) {
            r_.lists.appendToLevelText(char16_t(character));
        }
        return;
    case RtfDestination::PnText:
        if (isUnit) {
            r_.lists.appendToPnText(char16_t(character));
        }
        return;
    case RtfDestination::ShapePropertyName:
        if (isUnit) {
            r_.shapes.appendToPropertyName(char16_t(character));
        }
        return;
    case RtfDestination::Skip:
    case RtfDestination::ColorTable:
    case RtfDestination::ListTable:
    case RtfDestination::ListOverrideTable:
    case RtfDestination::Pn:
    case RtfDestination::Picture:
    case RtfDestination::Shape:
        return;
    }
}

RtfCodePage RtfTextRouter::page(const RtfGroupState &group) const
{
    if (group.destination == RtfDestination::FontTable) {
        return r_.fonts.page(r_.decoder.documentPage());
    }
    return r_.formats.codePage(group.chars.font, r_.decoder.documentPage());
}
