#include "core/CheckedRename.h"

#include "core/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file system cannot do this kind of rename.
bool unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

} // namespace

namespace CheckedRename {

Outcome run(const QByteArray &from, const QByteArray &to, const struct stat *expected, int &error)
{
    const auto failed = [&error] {
        error = errno;
        return Outcome::Failed;
    };
    if (!expected) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
            return Outcome::Done;
        }
        if (errno == EEXIST) {
            return Outcome::OtherFile;
        }
        if (!unsupported(errno)) {
            return failed();
        }
    } else if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        struct stat out {};
        if (::lstat(from.constData(), &out) == 0 && FileSystem::sameFile(out, *expected)) {
            ::unlink(from.constData()); // the old vault; should this fail, the next start removes it
            return Outcome::Done;
        }
        // Swapped back; or, failing that, put back over the new file, which is then gone.
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0 ||
            ::rename(from.constData(), to.constData()) == 0) {
            return Outcome::OtherFile;
        }
        error = errno;
        return Outcome::OtherFileOut;
    } else if (errno == ENOENT) {
        return Outcome::OtherFile; // the vault has gone from its place
    } else if (!unsupported(errno)) {
        return failed();
    } else {
        struct stat now {};
        if (::stat(to.constData(), &now) != 0 || !FileSystem::sameFile(now, *expected)) {
            return Outcome::OtherFile;
        }
    }
    return ::rename(from.constData(), to.constData()) == 0 ? Outcome::Done : failed();
}

} // namespace CheckedRename
