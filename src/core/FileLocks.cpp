#include "core/FileLocks.h"

#include "core/FileSystem.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

// A holder's save renames a new file over the vault now and then, and may do so between an open and its lock; the
// next try catches the new file. So many in a row mean that another copy is saving without a pause.
constexpr int TriesWhileTheFileIsReplaced = 100;

} // namespace

namespace FileLocks {

Held isHeld(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const FileDescriptor first(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!first.isOpen()) {
        return Held::CannotTell;
    }
    if (::flock(first.get(), LOCK_SH | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Held::Yes : Held::CannotTell;
    }
    // Held by this look now: a second open must be refused, or the file system ignores the lock.
    const FileDescriptor second(::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!second.isOpen() || ::flock(second.get(), LOCK_EX | LOCK_NB) == 0) {
        return Held::CannotTell;
    }
    return errno == EWOULDBLOCK ? Held::No : Held::CannotTell;
}

Exclusive lockExclusive(const QString &path)
{
    using Result = Exclusive::Result;
    const QByteArray native = QFile::encodeName(path);
    for (int attempt = 0; attempt < TriesWhileTheFileIsReplaced; ++attempt) {
        struct stat found {};
        if (::stat(native.constData(), &found) != 0 || !S_ISREG(found.st_mode)) {
            return {Result::Impossible, {}}; // nothing yet, or nothing that could hold a vault
        }
        FileDescriptor file(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        if (!file.isOpen() || ::fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
            return {Result::Impossible, {}};
        }
        if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
            const int e = errno;
            if (e == EINTR) {
                continue;
            }
            return {e == EWOULDBLOCK ? Result::Busy : Result::Impossible, {}};
        }
        // The lock counts only on the file that is the vault now.
        if (::stat(native.constData(), &found) == 0 && FileSystem::sameFile(found, opened)) {
            return {Result::Taken, std::move(file)};
        }
    }
    return {Result::Busy, {}}; // replaced again and again: another copy is saving
}

} // namespace FileLocks
