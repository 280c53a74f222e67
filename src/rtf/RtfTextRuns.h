#pragma once

#include <QList>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

// A paragraph's text as the document writers hold it back: the text, and its runs of one format each.
struct RtfTextRun {
    QTextCharFormat format;
    qsizetype end = 0; // where the run ends in the text
};

struct RtfParagraph {
    QTextBlockFormat block;
    QTextCharFormat mark; // the format of the paragraph's end
    QString text;
    QList<RtfTextRun> runs;
};

// Where the writers insert into the document: the cursor, and whether its block is still empty and takes the
// next paragraph.
struct RtfInsertPoint {
    QTextCursor cursor;
    bool freeBlock = true;
};

namespace RtfTextRuns {

// Inserts the text at the cursor, one insertion per run.
void insert(QTextCursor &cursor, const QString &text, const QList<RtfTextRun> &runs);

} // namespace RtfTextRuns
