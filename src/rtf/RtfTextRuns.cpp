#include "rtf/RtfTextRuns.h"

void RtfTextRuns::insert(QTextCursor &cursor, const QString &text, const QList<RtfTextRun> &runs)
{
    if (runs.size() == 1) {
        cursor.insertText(text, runs.first().format);
        return;
    }
    qsizetype start = 0;
    for (const RtfTextRun &run : runs) {
        cursor.insertText(text.sliced(start, run.end - start), run.format);
        start = run.end;
    }
}
