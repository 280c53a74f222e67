#pragma once

#include "rtf/RtfFormats.h"
#include "rtf/RtfLayoutBudget.h"
#include "rtf/RtfTextRuns.h"

#include <QList>
#include <QString>

// Gathers the text of the footnotes (\footnote), which the document shows at its end, each note a paragraph of its
// own (or several) in the formatting it was written in; \chftn gives the notes their numbers, 1, 2, ... in the
// order of the document. A footnote inside a footnote is read as text of the outer one. What is gathered is bounded
// by the document's character limit and a share of it for paragraphs and runs, as the document writer's is, and by
// the layout's bounds; the writer charges the notes again when it writes them.
class RtfFootnoteReader final {
public:
    RtfFootnoteReader(RtfFormats &formats, qsizetype maxChars, const RtfLayoutBudget::Bounds &bounds);
    Q_DISABLE_COPY_MOVE(RtfFootnoteReader)

    // \footnote in running text: a note begins.
    void begin();
    // The note's group has closed, in the formatting it had: its last paragraph ends.
    void end(const RtfCharState &chars, const RtfParaState &para);
    bool inNote() const { return open_; }
    // The number that \chftn stands for: the note's own inside a note, else the number of the note that follows.
    QString markNumber() const { return QString::number(open_ ? count_ : count_ + 1); }

    void appendCharacter(char32_t character, const RtfCharState &chars);
    void appendText(QStringView text, const RtfCharState &chars);
    void endParagraph(const RtfCharState &chars, const RtfParaState &para);

    // The notes' paragraphs, in order; the reader is empty afterwards.
    QList<RtfParagraph> takeNotes();

private:
    void appendUnit(char16_t unit, const RtfCharState &chars);
    void flushLoneSurrogate(const RtfCharState &chars);
    // Adds text to the paragraph in a run of its formatting, unless it would pass the character limit.
    void store(QStringView text, const RtfCharState &chars);

    RtfFormats &formats_;
    qsizetype maxChars_ = 0;
    qsizetype maxPieces_ = 0; // paragraphs and runs
    qsizetype chars_ = 0;
    qsizetype pieces_ = 0;
    QList<RtfParagraph> notes_;
    RtfParagraph paragraph_; // the paragraph being read
    RtfCharState runChars_;  // the formatting of paragraph_'s last run
    char16_t highSurrogate_ = 0;
    int count_ = 0;
    bool open_ = false;
};
