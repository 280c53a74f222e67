#pragma once

#include <QString>

// Where the vault lives and how its path is taken apart. Paths use "/" inside the program on every system, as Qt
// does; only text shown to the user is turned into the system's own separators.
namespace VaultPath {

// The vault's file name.
inline constexpr char16_t FileName[] = u"data.enc";

// The vault in the given folder.
QString inFolder(const QString &folder);

// The vault beside the executable.
QString besideExecutable();

// Whether an ordinary file stands at the path. Folders never count, nor, where the system marks files so,
// hidden or system files. Any error answers false.
bool fileExists(const QString &path);

// The part of the path after its last "/" (or, on Windows, "\"); the whole text when it has none.
QString fileNamePart(const QString &path);

} // namespace VaultPath
