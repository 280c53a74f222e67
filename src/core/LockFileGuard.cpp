#include "core/LockFileGuard.h"

#include "core/FileSystem.h"

#include <QDeadlineTimer>

#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Other copies hold the guard only for a moment each, even when many start at once; one that held it longer has
// hung, and the copies go on without it.
constexpr int GuardWaitMs = 5000;
constexpr std::chrono::milliseconds PauseBetweenTries(5);

// The umask is the whole process's, but it is narrowed only for the moment of making a lock file, and only ever
// narrowed.
class OwnerOnlyFiles final {
public:
    OwnerOnlyFiles() : old_(::umask(077)) { ::umask(old_ | 077); }
    ~OwnerOnlyFiles() { ::umask(old_); }
    Q_DISABLE_COPY_MOVE(OwnerOnlyFiles)

private:
    mode_t old_;
};

} // namespace

LockFileGuard::LockFileGuard(const QString &lockPath) : file_(lockPath + u".rmlock"_s)
{
    if (FileSystem::isOtherThanAFile(lockPath + u".rmlock"_s)) {
        return; // something that is no lock file has the name: the copies go on without the guard
    }
    const QDeadlineTimer deadline(GuardWaitMs);
    while (!tryLockOwnerOnly(file_)) {
        if (file_.error() != QLockFile::LockFailedError || deadline.hasExpired()) {
            return;
        }
        std::this_thread::sleep_for(PauseBetweenTries);
    }
}

bool LockFileGuard::tryLockOwnerOnly(QLockFile &file)
{
    const OwnerOnlyFiles ownerOnly;
    return file.tryLock(0);
}
