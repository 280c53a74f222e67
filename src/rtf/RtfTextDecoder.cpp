#include "rtf/RtfTextDecoder.h"

bool RtfTextDecoder::pageWord(RtfKeywordInfo info, const RtfToken &token)
{
    switch (info.keyword) {
    case RtfKeyword::Ansi:
        documentCodePage_ = 1252;
        return true;
    case RtfKeyword::OtherCharacterSet:
        documentCodePage_ = info.character; // \mac, \pc and \pca name their page
        return true;
    case RtfKeyword::AnsiCodePage:
        if (token.hasParameter && token.parameter > 0) {
            documentCodePage_ = token.parameter;
        }
        return true;
    default:
        return false;
    }
}

QString RtfTextDecoder::takeText()
{
    QString text;
    if (runPage_ == symbolPage || runPage_ == wingdingsPage) {
        const RtfCodePage glyphs = runPage_ == symbolPage ? RtfCodePage::Symbol : RtfCodePage::Wingdings;
        text.resize(run_.size());
        for (qsizetype i = 0; i < run_.size(); ++i) {
            text[i] = rtfDecodeByte(glyphs, uchar(run_[i]));
        }
    } else if (run_.size() == 1) {
        text = QChar(decodeSingleByte(runPage_, uchar(run_[0])));
    } else {
        text = bytes_.decode(runPage_, run_);
    }
    run_.resize(0);
    expectTrailByte_ = false;
    return text;
}

char16_t RtfTextDecoder::decodeSingleByte(int page, uchar byte)
{
    if (byte < 0x80 || rtfIsLeadByte(page, byte)) {
        return byte < 0x80 ? char16_t(byte) : replacementCharacter;
    }
    const auto lookUp = [this, page, byte] {
        const QString text = bytes_.decode(page, QByteArrayView(&byte, 1));
        return text.size() == 1 ? text.front().unicode() : replacementCharacter;
    };
    auto table = singleBytes_.find(page);
    if (table == singleBytes_.end()) {
        if (singleBytes_.size() >= maxCachedPages) {
            return lookUp();
        }
        table = singleBytes_.insert(page, {});
    }
    char16_t &known = (*table)[byte];
    if (known == 0) {
        known = lookUp();
    }
    return known;
}

char32_t RtfTextDecoder::decodeUnicode(int parameter, int skip)
{
    // Values are signed 16-bit numbers; writers of characters beyond U+FFFF either write surrogate pairs
    // or, less often, the code point itself.
    qint64 value = parameter;
    if (value < 0) {
        value += 65536;
    }
    skipCount_ = skip;
    return (value < 0 || value > 0x10FFFF) ? char32_t(replacementCharacter) : char32_t(value);
}
