#pragma once

#include "core/FileSystem.h"

#include <QString>

// Where the vault lives and what may stand there.
namespace VaultPath {

// The vault, data.enc, in the given folder, with one "/" between them also when the folder ends with one ("/" itself).
QString inFolder(const QString &folder);

// What stands at the path when it is neither a vault file nor nothing at all (a folder, a named pipe, a link that
// leads nowhere...), said for the user; empty for an ordinary file, a link to one, or nothing. Never opens it.
QString notAVaultFile(const QString &path);

// Why no new file can be made in the folder, with its error number ("error 30: Read-only file system"); empty where
// one can. Tries for real, with a scratch file that it removes at once.
QString whyNoNewFile(const QString &folder);

// The vault's lock still asks for these by the names they had here.
using FileSystem::isNetworkFolder;
using FileSystem::isOtherThanAFile;
using FileSystem::quoted;
using FileSystem::realPath;
using FileSystem::sameFile;

} // namespace VaultPath
