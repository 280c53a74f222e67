#pragma once

#include <QString>

struct stat;

// What the file system says about a path, and how the program's messages show one. Paths use "/" inside the
// program, as Qt does, and "/" is the only separator: a "\" is part of a name.
namespace FileSystem {

// Whether an ordinary file, or a link to one, stands at the path; folders never count. Letter case counts as the
// file system counts it. Any error answers false.
bool fileExists(const QString &path);

// The path in the quotation marks that the program's messages put around a path.
QString quoted(const QString &path);

// The file the path leads to: absolute, with every symbolic link on the way followed. A link that leads nowhere
// gives the name it leads to; a loop of links gives the path itself.
QString realPath(const QString &path);

// Whether something other than an ordinary file stands at the path itself, links not followed.
bool isOtherThanAFile(const QString &path);

// Whether the folder is on a file system that other machines may share (a network or user-space file system),
// where a file lock taken on another machine may not be seen from here.
bool isNetworkFolder(const QString &folder);

// Whether two stat results are of the same file.
bool sameFile(const struct stat &a, const struct stat &b);

} // namespace FileSystem
