#pragma once

#include "core/FileDescriptor.h"

#include <QString>

// The advisory locks (flock) that copies of the program hold on the lock file and on the vault file.
namespace FileLocks {

// Whether a lock on the file is held by someone: yes, no, or nothing can tell (no such file, or a file system
// that grants every lock, so that a free one proves nothing).
enum class Held { Yes, No, CannotTell };

Held isHeld(const QString &path);

// An exclusive lock on the file at `path`, taken on the very file that is there once it is held: `file` holds it
// where Taken. Busy: another copy holds it. Impossible: no ordinary file is there, or it takes no lock.
struct Exclusive {
    enum class Result { Taken, Busy, Impossible };
    Result result = Result::Impossible;
    FileDescriptor file;
};

Exclusive lockExclusive(const QString &path);

} // namespace FileLocks
