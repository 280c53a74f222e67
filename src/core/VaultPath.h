#pragma once

#include <QString>

struct stat;

// Where the vault lives, how its path is taken apart, and what stands there. Paths use "/" inside the program, as
// Qt does, and "/" is the only separator: a "\" is part of a name.
namespace VaultPath {

// The vault's file name.
inline constexpr char16_t FileName[] = u"data.enc";

// The vault in the given folder, with one "/" between them also when the folder ends with one ("/" itself).
QString inFolder(const QString &folder);

// Whether an ordinary file, or a link to one, stands at the path; folders never count. Letter case counts as the
// file system counts it. Any error answers false.
bool fileExists(const QString &path);

// The path in the quotation marks that the program's messages put around a path.
QString quoted(const QString &path);

// The file the vault is: absolute, with every symbolic link on the way followed. A link that leads nowhere gives
// the name it leads to, where the vault would be; a loop of links gives the path itself.
QString realPath(const QString &path);

// What stands at the path when it is neither a vault file nor nothing at all (a folder, a named pipe, a link that
// leads nowhere...), said for the user; empty for an ordinary file, a link to one, or nothing. Never opens it.
QString notAVaultFile(const QString &path);

// Whether something other than an ordinary file stands at the path itself, links not followed.
bool isOtherThanAFile(const QString &path);

// Whether the folder is on a file system that other machines may share (a network or user-space file system),
// where a file lock taken on another machine may not be seen from here.
bool isNetworkFolder(const QString &folder);

// Why no new file can be made in the folder, with its error number ("error 30: Read-only file system"); empty where
// one can. Tries for real, with a scratch file that it removes at once.
QString whyNoNewFile(const QString &folder);

// Whether two stat results are of the same file.
bool sameFile(const struct stat &a, const struct stat &b);

} // namespace VaultPath
