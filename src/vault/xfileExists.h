#pragma once

#include <QString>

namespace xfileExists {

// Whether an ordinary file stands at the path. Folders never count, nor, where the system marks files so,
// hidden or system files. Any error answers false.
bool FileExists(const QString &path);

// The part of the path after its last separator ("/" here, "\" on Windows); the whole text when it has none.
QString FileNamePart(const QString &path);

} // namespace xfileExists
