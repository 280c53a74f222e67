#pragma once

#include <QString>

// Where the vault lives and how its path is taken apart. Paths use "/" inside the program, as Qt does, and "/" is
// the only separator: a "\" is part of a name.
namespace VaultPath {

// The vault's file name.
inline constexpr char16_t FileName[] = u"data.enc";

// The vault in the given folder, with one "/" between them also when the folder ends with one ("/" itself).
QString inFolder(const QString &folder);

// The vault beside the executable.
QString besideExecutable();

// Whether an ordinary file, or a link to one, stands at the path; folders never count. Letter case counts as the
// file system counts it. Any error answers false.
bool fileExists(const QString &path);

// The part of the path after its last "/"; the whole text when it has none, nothing when it ends with "/".
QString fileNamePart(const QString &path);

} // namespace VaultPath
