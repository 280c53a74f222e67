#pragma once

#include "rtf/RtfLayoutBudget.h"

#include <QByteArrayView>
#include <QString>

class QTextDocument;

// Renders RTF, as word processors save it, into a QTextDocument for read-only display. It handles
// character and paragraph formatting, font and colour tables, lists and their numbering, tab stops,
// tables, PNG and JPEG pictures and the bitmaps in Windows metafiles (also those of shapes, shown where they are
// anchored), hyperlinks, footnotes (gathered at the end), the code pages of the document and of each font, double-byte
// ones included, and Unicode escapes, and skips what cannot be shown (other pictures, objects, headers, fields'
// instructions, ...).
//
// Every file is read in time linear in its size and in bounded memory: nesting is tracked without
// recursion, and the limits below stop a broken or hostile file before it can exhaust the program.
class RtfReader final {
public:
    struct Limits {
        int maxDepth = 200;                          // deeper groups still balance but no longer nest formatting
        qsizetype maxGroups = 1'000'000;             // groups in the whole file
        qsizetype maxInputBytes = 64 * 1024 * 1024;  // only this much of a longer file is read
        qsizetype maxOutputChars = 16 * 1024 * 1024; // characters put into the document, paragraph ends included
        qint64 maxPicturePixels = 32 * 1024 * 1024;  // pixels of all pictures together; pictures past it are left out
        // What the text layout of the view that shows the document can do; the document ends where one is reached.
        RtfLayoutBudget::Bounds layout = RtfLayoutBudget::Bounds::helpView();
    };

    RtfReader() = default;
    explicit RtfReader(Limits limits) : limits_(limits) {}
    Q_DISABLE_COPY_MOVE(RtfReader)

    // Replaces the document's content with the rendered RTF. Returns false (and sets errorString) when the
    // input is not RTF at all (does not start with "{\rtf") or a limit stopped it; what was read up to then
    // stays in the document.
    bool read(QByteArrayView rtf, QTextDocument &document);

    QString errorString() const { return errorString_; }
    // Whether a limit ended the document before the end of the text: the document shows only the beginning.
    bool wasCut() const { return cut_; }

private:
    Limits limits_;
    QString errorString_;
    bool cut_ = false;
};
