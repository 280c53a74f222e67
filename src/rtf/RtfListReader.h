#pragma once

#include "rtf/RtfFormats.h"
#include "rtf/RtfKeywords.h"
#include "rtf/RtfLists.h"
#include "rtf/RtfTokenizer.h"

// Reads what a file says about lists: the list tables (\listtable, \listoverridetable and each level's
// \leveltext), the older paragraph numbering (\pn and its \pntxtb, \pntxta), and the writer's own rendering of a
// paragraph's number (\listtext). At the start of each paragraph it gives the label that goes before its text.
class RtfListReader final {
public:
    explicit RtfListReader(const RtfFormats &formats) : formats_(formats) {}
    Q_DISABLE_COPY_MOVE(RtfListReader)

    // \listtable
    void listTableWord(RtfKeyword keyword, const RtfToken &token);
    // \leveltext of the current level; false where there is no level to give it to.
    bool beginLevelText();
    void appendToLevelText(char16_t unit);
    void endLevelText();
    void endListTable();

    // \listoverridetable
    void overrideWord(RtfKeyword keyword, const RtfToken &token);

    // \pn: returns true for a word that begins the text before or after the number.
    void beginPn();
    bool pnWord(RtfKeywordInfo info, const RtfToken &token, RtfCharState &chars);
    void appendToPnText(char16_t unit);
    // The index of the numbering for RtfParaState::pn.
    int endPn();

    // \listtext, read in the character format it begins with.
    void beginListText(const RtfCharState &chars);
    void appendToListText(char16_t unit);

    // The label before a paragraph's text, counting the paragraph in its list; empty where none shows.
    struct Label {
        QString text;
        RtfCharState chars; // its format
    };
    Label startParagraph(const RtfParaState &para, const RtfCharState &chars, RtfCodePage documentPage);
    // The indents of the paragraph's list level, where the paragraph is in a list and gives none of its own.
    const RtfLists::Level *indentsFor(const RtfParaState &para) const;

private:
    const RtfFormats &formats_;
    RtfLists lists_;
    QString listText_; // the \listtext of the paragraph, put before its text once its list is known
    RtfCharState listTextChars_;
    bool hasListText_ = false;
    RtfLists::Pn pendingPn_;
    bool pnTextAfter_ = false;
    QString levelText_;
};
