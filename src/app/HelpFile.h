#pragma once

#include <QString>
#include <QStringView>

#include <memory>

class QTextDocument;

// The help file, Help.rtf, read and laid out for the help window. A file that is broken, huge or hostile costs
// bounded time and memory: a file over the size bound is not read, and the reader's bounds cut the rest, which a
// line of its own then says.
namespace HelpFile {

// Help files larger than this are not read: the window opens without help text.
inline constexpr qint64 MaxBytes = 64 * 1024 * 1024;
// The last line of a help file that the view's bounds cut short.
inline constexpr QStringView CutNote = u"The rest of this help file is not shown: it is too long for this window.";

// The help text of the file at `path`; null where no file is there. An unreadable or oversized file gives an empty
// document, a broken one what could be read of it.
std::unique_ptr<QTextDocument> read(const QString &path);

} // namespace HelpFile
