#pragma once

#include <QByteArray>

struct stat;

// Renames a new file over the vault only if the vault is still the file that the save checked. A vault moved or
// renamed into place while the save wrote its new file (which takes a while, and may wait on the disk) must not be
// replaced: a plain rename replaces whatever has the name at that moment.
//
// Where the file system can swap two names at once (renameat2 with RENAME_EXCHANGE: ext4, XFS, Btrfs, tmpfs...),
// the new file and the vault are swapped, and the file that came out is looked at: the checked vault is then
// removed, anything else swapped back at once. Nothing can come between the swap and what it replaced, so the
// window of the race is closed; another file is at most in the new file's name for the moment of two calls, and
// never lost. Elsewhere the vault is looked at once more immediately before a plain rename, which narrows the
// window to the time between those two calls.
namespace CheckedRename {

enum class Outcome {
    Done,         // the new file is the vault; the checked one is gone
    OtherFile,    // another file had the vault's name: it keeps it, and the new file still has its own name
    OtherFileOut, // as OtherFile, but the swap back failed: the other file is in the new file's name now
    Failed,       // nothing changed; `error` says why
};

// `expected`: the vault as the save checked it, or null where there was none (nothing may be replaced then).
Outcome run(const QByteArray &from, const QByteArray &to, const struct stat *expected, int &error);

} // namespace CheckedRename
