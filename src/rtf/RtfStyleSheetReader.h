#pragma once

#include "rtf/RtfFormats.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfTokenizer.h"

#include <QList>

// Reads the formatting that a document gives its text by default: \defchp, \defpap, and the Normal style (paragraph
// style 0) of \stylesheet, which hold the writer's default font, size and spacing. They apply to the document's text
// from where they stand until the text sets its own; \plain and \pard still go back to RTF's own defaults, as the
// word processors read them. The other styles of the sheet are read past: a paragraph's \sN does not bring its
// style's formatting, because the writers repeat that formatting in the paragraph itself, and the word processors
// show a paragraph that names a style without repeating it in plain text.
class RtfStyleSheetReader final {
public:
    RtfStyleSheetReader() = default;
    Q_DISABLE_COPY_MOVE(RtfStyleSheetReader)

    // A style's group in \stylesheet, or \defchp or \defpap, begins.
    void beginEntry();
    void word(RtfKeyword keyword, const RtfToken &token);
    // The entry has ended: the document's defaults, and the Normal style, apply their words to the document's
    // formatting.
    void endEntry(RtfCharState &chars, RtfParaState &para);

private:
    struct Word {
        RtfKeyword keyword;
        RtfToken token;
    };
    static constexpr qsizetype maxWords = 256;

    QList<Word> words_;
    bool defaults_ = true; // the entry is the defaults or the Normal style, not another style
};
