#include "rtf/RtfStyleSheetReader.h"

#include "rtf/RtfFormatWords.h"

void RtfStyleSheetReader::beginEntry()
{
    words_.clear();
    defaults_ = true;
}

void RtfStyleSheetReader::word(RtfKeyword keyword, const RtfToken &token)
{
    switch (keyword) {
    case RtfKeyword::ParagraphStyle:
        // A paragraph style without a number is style 0, the Normal style.
        defaults_ = defaults_ && (!token.hasParameter || token.parameter == 0);
        return;
    case RtfKeyword::CharacterStyle:
    case RtfKeyword::OtherStyle:
        defaults_ = false;
        return;
    default:
        break;
    }
    // Only the words that set formatting are kept; an entry is a few dozen words, a hostile one is cut short.
    RtfCharState chars;
    RtfParaState para;
    if (defaults_ && words_.size() < maxWords && RtfFormatWords::applyFormatting(keyword, token, chars, para)) {
        words_.append(Word{keyword, token});
    }
}

void RtfStyleSheetReader::endEntry(RtfCharState &chars, RtfParaState &para)
{
    if (defaults_) {
        for (const Word &word : std::as_const(words_)) {
            RtfFormatWords::applyFormatting(word.keyword, word.token, chars, para);
        }
    }
    words_.clear();
}
