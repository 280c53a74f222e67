#include "app/HelpFile.h"

#include "core/VaultPath.h"
#include "rtf/RtfReader.h"

#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

namespace HelpFile {

namespace {

// A help file that the reader's bounds cut ends with a line of its own that says so, in the view's own font.
void appendCutNote(QTextDocument &document)
{
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(CutNote.toString());
}

} // namespace

std::unique_ptr<QTextDocument> read(const QString &path)
{
    if (!VaultPath::fileExists(path)) {
        return nullptr;
    }
    auto document = std::make_unique<QTextDocument>();
    // Shown read-only: nothing is ever undone.
    document->setUndoRedoEnabled(false);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxBytes) {
        return document;
    }
    // Read at the file's own size; one byte more tells a file that grew since past the bound.
    const QByteArray rtf = file.read(file.size() + 1);
    if (rtf.size() > MaxBytes) {
        return document;
    }
    RtfReader reader;
    if (!reader.read(rtf, *document) && reader.wasCut()) {
        appendCutNote(*document);
    }
    return document;
}

} // namespace HelpFile
